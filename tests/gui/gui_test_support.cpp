#include "gui/gui_test_support.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTest>
#include <algorithm>
#include <memory>

namespace tarvo::test {
namespace {

class QtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "tarvo_gui_tests";
    static char* argv[] = {name, nullptr};
    application_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { application_.reset(); }

 private:
  std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace

ModalAnswerer::ModalAnswerer() {
  timer_.setInterval(5);
  connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::Poll);
  timer_.start();
}

ModalAnswerer& ModalAnswerer::Then(Answer answer) {
  answers_.push_back(std::move(answer));
  return *this;
}

ModalAnswerer::Answer ModalAnswerer::Accept() {
  return [](QWidget* window) {
    if (auto* dialog = qobject_cast<QDialog*>(window)) dialog->accept();
  };
}

ModalAnswerer::Answer ModalAnswerer::Reject() {
  return [](QWidget* window) {
    if (auto* dialog = qobject_cast<QDialog*>(window)) dialog->reject();
  };
}

ModalAnswerer::Answer ModalAnswerer::ClickButton(const QString& caption) {
  return [caption](QWidget* window) {
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
      if (button->text() == caption) {
        button->click();
        return;
      }
    }
    ADD_FAILURE() << "no button \"" << caption.toStdString() << "\" in "
                  << window->windowTitle().toStdString();
    if (auto* dialog = qobject_cast<QDialog*>(window)) dialog->reject();
  };
}

ModalAnswerer::Answer ModalAnswerer::PressKey(int key) {
  return [key](QWidget* window) {
    QWidget* target = window->focusWidget() != nullptr ? window->focusWidget() : window;
    QTest::keyClick(target, static_cast<Qt::Key>(key));
  };
}

void ModalAnswerer::Poll() {
  QWidget* window = QApplication::activeModalWidget();
  if (window == nullptr || !window->isVisible()) return;
  if (std::find(answered_.begin(), answered_.end(), window) != answered_.end()) return;
  answered_.emplace_back(window);
  titles_.push_back(window->windowTitle().toStdString());
  if (auto* box = qobject_cast<QMessageBox*>(window))
    messages_.push_back(box->text().toStdString());
  if (answers_.empty()) {
    ++unexpected_;
    if (auto* dialog = qobject_cast<QDialog*>(window)) dialog->reject();
    return;
  }
  // The answer runs from an event of its own: an answer that opens a further modal window
  // (a click that ends in a message box) must not hold up the polling.
  QTimer::singleShot(0, this,
                     [answer = std::move(answers_.front()), target = QPointer<QWidget>(window)] {
                       if (target) answer(target);
                     });
  answers_.pop_front();
}

}  // namespace tarvo::test

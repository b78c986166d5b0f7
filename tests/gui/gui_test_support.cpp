#include "gui/gui_test_support.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <algorithm>
#include <memory>

#include "support/temp_folder.h"

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
      if (Caption(*button) == caption.toStdString()) {
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

WindowTest::WindowTest() {
  CreateFolderForTest(programFolder_);
}

WindowTest::~WindowTest() {
  programmer_.reset();
  window_.reset();
}

void WindowTest::Start(bool emergency, bool packetGeneration) {
  window_ = std::make_unique<ui::ProgrammerWindow>();
  programmer_ = std::make_unique<CProgrammerDlg>(*window_, clock_, programFolder_);
  programmer_->SetModes(emergency, packetGeneration);
  window_->Attach(*programmer_);
  programmer_->StartWindow();
  window_->show();
}

std::vector<std::pair<std::string, bool>> EnabledStates(const ui::ProgrammerWindow& window) {
  std::vector<std::pair<std::string, bool>> states;
  for (CommandControl control : kAllCommandControls) {
    QAbstractButton* button = window.Control(control);
    states.emplace_back(Caption(*button), button->isEnabled());
  }
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    states.emplace_back(DeviceDisplayName(device), window.DeviceCheckBox(device)->isEnabled());
  }
  return states;
}

ModalAnswerer::Answer ChooseFile(const std::string& path) {
  return [path](QWidget* window) {
    auto* dialog = qobject_cast<QFileDialog*>(window);
    ASSERT_NE(dialog, nullptr) << window->windowTitle().toStdString();
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(QString::fromStdString(path));
    static_cast<QDialog*>(dialog)->accept();
  };
}

ModalAnswerer::Answer RecordStartFolder(std::string* folder, bool cancel) {
  return [folder, cancel](QWidget* window) {
    *folder = qobject_cast<QFileDialog*>(window)->directory().absolutePath().toStdString();
    if (cancel) static_cast<QDialog*>(window)->reject();
  };
}

std::string Caption(const QAbstractButton& button) {
  return QString(button.text()).remove(QLatin1Char('&')).toStdString();
}

std::vector<std::string> ListTexts(const QListWidget& list) {
  std::vector<std::string> texts;
  for (int i = 0; i < list.count(); ++i) texts.push_back(list.item(i)->text().toStdString());
  return texts;
}

QColor MiddleColour(QWidget* widget, int above) {
  const QImage image = widget->grab().toImage();
  return image.pixelColor(image.width() / 2, image.height() / 2 - above);
}

std::vector<std::string> LogTexts(const std::string& path) {
  std::vector<std::string> lines;
  const std::string text = ReadFileText(path);
  std::size_t begin = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', begin)) {
    std::string line = text.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line.size() > 13 ? line.substr(13) : line);
    begin = end + 1;
  }
  return lines;
}

}  // namespace tarvo::test

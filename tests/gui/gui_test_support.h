// Shared pieces of the front-end tests: the application object every widget needs, an answerer
// for the modal dialogs and message boxes the code under test opens, and the main window.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "engine/programmer_dlg.h"
#include "platform/clock.h"
#include "support/temp_folder.h"
#include "ui/programmer_window.h"

namespace tarvo::test {

struct QtApplicationEnvironment : ::testing::Environment {
  void SetUp() override { application = std::make_unique<QApplication>(argc, argv); }
  void TearDown() override { application.reset(); }
  int argc = 1;  // both live as long as the application
  char* argv[2] = {const_cast<char*>("tarvo_gui_tests"), nullptr};
  std::unique_ptr<QApplication> application;
};
inline ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

// A button's text as shown, without the mnemonic marks.
inline std::string Caption(const QAbstractButton& button) {
  return QString(button.text()).remove(QLatin1Char('&')).toStdString();
}

inline std::vector<std::string> ListTexts(const QListWidget& list) {
  std::vector<std::string> texts;
  for (int i = 0; i < list.count(); ++i) texts.push_back(list.item(i)->text().toStdString());
  return texts;
}

// The colour in the middle of a widget as it is drawn, or the given pixels above it.
inline QColor MiddleColour(QWidget* widget, int above = 0) {
  const QImage image = widget->grab().toImage();
  return image.pixelColor(image.width() / 2, image.height() / 2 - above);
}

// Answers modal windows as they appear, one answer per window, in order. A modal window with no
// answer left is rejected, so a test never hangs; the test fails when that happened or when an
// answer is left over at the end. Keep one answerer alive at a time.
class ModalAnswerer : public QObject {
 public:
  using Answer = std::function<void(QWidget*)>;

  explicit ModalAnswerer(std::vector<Answer> answers = {}) : answers_(std::move(answers)) {
    connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::Poll);
    timer_.start(5);
  }
  ~ModalAnswerer() override {
    EXPECT_EQ(next_, answers_.size()) << "answers left";
    EXPECT_EQ(unexpected_, 0) << "modal windows without an answer";
  }
  static Answer Accept() {
    return [](QWidget* window) { qobject_cast<QDialog*>(window)->accept(); };
  }
  static Answer ClickButton(const QString& caption) {
    return [caption](QWidget* window) {
      for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (Caption(*button) == caption.toStdString()) return button->click();
      }
      ADD_FAILURE() << "no button " << caption.toStdString();
      qobject_cast<QDialog*>(window)->reject();
    };
  }
  static Answer PressKey(int key) {
    return [key](QWidget* window) {
      QWidget* target = window->focusWidget() != nullptr ? window->focusWidget() : window;
      QTest::keyClick(target, static_cast<Qt::Key>(key));
    };
  }
  // Notes the folder a file dialog starts in, then its filters, when asked; picks the given full
  // path as a user may type it into the name field, or cancels without one.
  static Answer FileDialog(const std::string& path, std::vector<std::string>* seen = nullptr) {
    return [path, seen](QWidget* window) {
      auto* dialog = qobject_cast<QFileDialog*>(window);
      if (seen != nullptr) seen->assign({dialog->directory().absolutePath().toStdString()});
      for (const QString& filter : dialog->nameFilters())
        if (seen != nullptr) seen->push_back(filter.toStdString());
      if (path.empty()) return dialog->reject();
      dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(path));
      static_cast<QDialog*>(dialog)->accept();
    };
  }
  // What the modal windows showed: a message box's text, another window's title.
  const std::vector<std::string>& Seen() const { return seen_; }

 private:
  void Poll() {
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr || !window->isVisible()) return;
    // A window shows up again when a message box over it closes.
    if (std::find(answered_.begin(), answered_.end(), window) != answered_.end()) return;
    answered_.emplace_back(window);
    auto* box = qobject_cast<QMessageBox*>(window);
    seen_.push_back((box != nullptr ? box->text() : window->windowTitle()).toStdString());
    if (next_ == answers_.size()) {
      ++unexpected_;
      return qobject_cast<QDialog*>(window)->reject();
    }
    // The answer runs from an event of its own: an answer that opens a further modal window
    // (a click that ends in a message box) must not hold up the polling.
    QTimer::singleShot(0, this, [answer = answers_[next_++], target = QPointer(window)] {
      if (target) answer(target);
    });
  }

  QTimer timer_;
  std::vector<Answer> answers_;
  std::size_t next_ = 0;
  std::vector<QPointer<QWidget>> answered_;
  std::vector<std::string> seen_;
  int unexpected_ = 0;
};

// The main window with its programmer against the simulated camera, data in a temporary folder.
class WindowTest : public ::testing::Test {
 protected:
  WindowTest() { CreateFolderForTest(programFolder_); }

  void Start(bool emergency = false, bool packetGeneration = false) {
    programmer_.reset();
    window_ = std::make_unique<ui::ProgrammerWindow>();
    programmer_ = std::make_unique<CProgrammerDlg>(*window_, clock_, programFolder_);
    programmer_->SetModes(emergency, packetGeneration);
    window_->Attach(*programmer_);
    programmer_->StartWindow();
    window_->show();
  }
  QAbstractButton* Button(CommandControl control) { return window_->Control(control); }
  // Clicks a control and answers the modal windows it opens; returns what they showed.
  std::vector<std::string> Click(CommandControl control,
                                 std::vector<ModalAnswerer::Answer> answers) {
    ModalAnswerer answerer(std::move(answers));
    Button(control)->click();
    return answerer.Seen();
  }
  std::string Status() const { return window_->StatusLabel()->text().toStdString(); }
  QColor RunPicture() { return MiddleColour(window_->RunPicture(), 20); }

  TempFolder temp_;
  ScopedEnvironment dataHome_{"TARVO_DATA_DIR", temp_.File("data")};
  std::string programFolder_ = temp_.File("program");
  platform::FakeClock clock_;
  std::unique_ptr<ui::ProgrammerWindow> window_;
  std::unique_ptr<CProgrammerDlg> programmer_;
  ScopedEnvironment simFolder_{"QLM_SIM_DIR", temp_.File("camera")};
  ScopedEnvironment timeScale_{"TARVO_TIME_SCALE", "0"};
};

}  // namespace tarvo::test

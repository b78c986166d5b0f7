// Shared pieces of the front-end tests: the application object every widget needs, and an
// answerer for the modal dialogs and message boxes the code under test opens.
#pragma once

#include <gtest/gtest.h>
#include <QColor>
#include <QListWidget>

#include <QAbstractButton>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/programmer_dlg.h"
#include "platform/clock.h"
#include "support/temp_folder.h"
#include "ui/programmer_window.h"

namespace tarvo::test {

// Answers modal windows as they appear, one answer per window, in order. A modal window
// with no answer left is recorded as unexpected and rejected, so a test never hangs. Keep one
// answerer alive at a time: two would both answer the same window.
class ModalAnswerer : public QObject {
 public:
  using Answer = std::function<void(QWidget*)>;

  ModalAnswerer();

  ModalAnswerer& Then(Answer answer);
  // Common answers.
  static Answer Accept();
  static Answer Reject();
  static Answer ClickButton(const QString& caption);
  static Answer PressKey(int key);

  // Titles of the modal windows seen, and the texts of the message boxes among them.
  const std::vector<std::string>& Titles() const { return titles_; }
  const std::vector<std::string>& MessageTexts() const { return messages_; }
  int Unexpected() const { return unexpected_; }
  bool AllAnswered() const { return answers_.empty(); }

 private:
  void Poll();

  QTimer timer_;
  std::deque<Answer> answers_;
  // Every window answered so far: a window shows up again when a message box over it closes.
  std::vector<QPointer<QWidget>> answered_;
  std::vector<std::string> titles_;
  std::vector<std::string> messages_;
  int unexpected_ = 0;
};

// The main window with its programmer, data kept in a temporary folder.
class WindowTest : public ::testing::Test {
 protected:
  WindowTest();
  ~WindowTest() override;

  void Start(bool emergency = false, bool packetGeneration = false);
  QAbstractButton* Button(CommandControl control) { return window_->Control(control); }
  bool Enabled(CommandControl control) { return Button(control)->isEnabled(); }
  bool Visible(CommandControl control) { return Button(control)->isVisible(); }

  TempFolder temp_;
  ScopedEnvironment dataHome_{"TARVO_DATA_DIR", temp_.File("data")};
  std::string programFolder_ = temp_.File("program");
  platform::FakeClock clock_;
  std::unique_ptr<ui::ProgrammerWindow> window_;
  std::unique_ptr<CProgrammerDlg> programmer_;
};

// Enabled state of every control and device box, by caption.
std::vector<std::pair<std::string, bool>> EnabledStates(const ui::ProgrammerWindow& window);

// Picks the given full path in a file dialog, as a user may type it into the name field.
ModalAnswerer::Answer ChooseFile(const std::string& path);
// Notes the folder a file dialog starts in, then cancels it (or leaves it open).
ModalAnswerer::Answer RecordStartFolder(std::string* folder, bool cancel = true);

// A button's text as shown, without the mnemonic marks.
std::string Caption(const QAbstractButton& button);

// The texts of a list's rows.
std::vector<std::string> ListTexts(const QListWidget& list);

// The colour in the middle of a widget as it is drawn, or the given pixels above it.
QColor MiddleColour(QWidget* widget, int above = 0);

// The lines of a log file without their time stamps "hh:mm:ss.mmm ".
std::vector<std::string> LogTexts(const std::string& path);

}  // namespace tarvo::test

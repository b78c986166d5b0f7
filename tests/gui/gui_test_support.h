// Shared pieces of the front-end tests: the application object every widget needs, and an
// answerer for the modal dialogs and message boxes the code under test opens.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <vector>

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

}  // namespace tarvo::test

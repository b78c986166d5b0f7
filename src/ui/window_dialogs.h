// The message boxes and file dialogs of the program's windows, alike everywhere.
#pragma once

#include <QMessageBox>
#include <QString>
#include <optional>
#include <string>

class QWidget;

namespace tarvo::ui {

// A UTF-8 text of the engine or the platform, as the window toolkit takes it.
inline QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

// A modal message box, never narrower than its title needs on a desktop's title bar (beside
// the title bar's buttons), so that "Operation Status:" is never cut. Returns the button
// pressed; Escape gives the default button when the box has no other way out.
QMessageBox::StandardButton ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                    const QString& text,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                    QMessageBox::StandardButton defaultButton = QMessageBox::Ok);

// A file-open (existing file) or file-save (asks before replacing) dialog titled by its
// purpose, with a filter "Name (*.ext)|*.ext|All Files (*.*)|*.*||", starting in startFolder
// when it is not empty. Nothing when the user cancels.
std::optional<std::string> RunFileDialog(QWidget* parent, const std::string& title,
                                         const std::string& filter, bool save,
                                         const std::string& startFolder);

// The folder part of a chosen path.
std::string FolderOf(const std::string& path);

}  // namespace tarvo::ui

#include "ui/window_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>
#include <vector>

#include "ui/file_filter.h"

namespace tarvo::ui {
namespace {

// Room for the title bar's icon and its buttons beside the title, in text lines; desktops
// draw titles in a bolder and often larger font than the box's text.
constexpr int kTitleBarExtraLines = 8;
constexpr double kTitleFontGrowth = 1.25;

int TitleBarWidth(const QWidget& box, const QString& title) {
  QFont font = box.font();
  font.setBold(true);
  const QFontMetrics metrics(font);
  return static_cast<int>(metrics.horizontalAdvance(title) * kTitleFontGrowth) +
         kTitleBarExtraLines * metrics.height();
}

}  // namespace

QMessageBox::StandardButton ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                    const QString& text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton) {
  QMessageBox box(icon, title, text, buttons, parent);
  box.setDefaultButton(defaultButton);
  box.setTextInteractionFlags(Qt::TextSelectableByMouse);
  // The box sizes itself to its contents when shown; a spacer across its grid keeps it wide
  // enough for the title.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(
        new QSpacerItem(TitleBarWidth(box, title), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
        grid->rowCount(), 0, 1, grid->columnCount());
  }
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

std::optional<std::string> RunFileDialog(QWidget* parent, const std::string& title,
                                         const std::string& filter, bool save,
                                         const std::string& startFolder) {
  QFileDialog dialog(parent, Text(title), Text(startFolder));
  // The toolkit's own dialog looks and behaves the same on every desktop.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  QStringList filters;
  for (const std::string& text : DialogFilterTexts(filter)) filters << Text(text);
  dialog.setNameFilters(filters);
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const std::vector<FileFilterEntry> entries = ParseFileFilter(filter);
    if (!entries.empty() && !entries.front().patterns.empty() &&
        entries.front().patterns.front().rfind("*.", 0) == 0) {
      dialog.setDefaultSuffix(Text(entries.front().patterns.front().substr(2)));
    }
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return dialog.selectedFiles().front().toStdString();
}

std::string FolderOf(const std::string& path) {
  return QFileInfo(Text(path)).absolutePath().toStdString();
}

}  // namespace tarvo::ui

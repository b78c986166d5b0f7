#include "ui/text_list_widget.h"

#include <QFont>
#include <QStringList>

namespace tarvo::ui {

TextListWidget::TextListWidget(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSortingEnabled(false);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setUniformItemSizes(true);
  // Text kept off the frame, as in a page of text.
  setStyleSheet(QStringLiteral(
      "QListWidget { background-color: palette(base); padding: 6px 4px 6px 10px; }"));
}

void TextListWidget::AppendListText(std::string_view text) {
  setUpdatesEnabled(false);
  text_.Append(text);
  ShowLines();
  scrollToBottom();
  setUpdatesEnabled(true);
  viewport()->update();
}

void TextListWidget::ClearList() {
  text_.Clear();
  clear();
}

void TextListWidget::ShowLines() {
  const std::vector<std::string>& lines = text_.Lines();
  const int lineCount = static_cast<int>(lines.size());
  int same = 0;
  while (same < count() && same < lineCount &&
         item(same)->text() == QString::fromStdString(lines[static_cast<std::size_t>(same)])) {
    ++same;
  }
  while (count() > same) delete takeItem(count() - 1);
  QStringList added;
  for (int i = same; i < lineCount; ++i) {
    added << QString::fromStdString(lines[static_cast<std::size_t>(i)]);
  }
  addItems(added);
}

QFont ListFont(const char* family, int pointSize) {
  QFont font;
  font.setFamilies({QString::fromLatin1(family), QStringLiteral("DejaVu Sans"),
                    QStringLiteral("Liberation Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(pointSize);
  return font;
}

}  // namespace tarvo::ui

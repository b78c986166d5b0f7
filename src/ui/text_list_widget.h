// A scrolling list of text lines fed in pieces through AppendListText; see ListText for how
// pieces join into lines. The list shows its end after every append.
#pragma once

#include <QListWidget>
#include <string_view>

#include "ui/list_text.h"

namespace tarvo::ui {

class TextListWidget : public QListWidget {
 public:
  explicit TextListWidget(QWidget* parent = nullptr);

  // Plain text: "%" has no meaning.
  void AppendListText(std::string_view text);
  void ClearList();

  const ListText& Text() const { return text_; }

 private:
  // Brings the widget's items in line with the text's lines, touching only what changed.
  void ShowLines();

  ListText text_;
};

// A font of the given family and point size that falls back to a sans-serif face of the
// same size where the family is not installed.
QFont ListFont(const char* family, int pointSize);

}  // namespace tarvo::ui

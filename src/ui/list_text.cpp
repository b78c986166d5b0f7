#include "ui/list_text.h"

namespace tarvo::ui {

void ListText::Append(std::string_view text) {
  std::string working;
  if (!lastLineComplete_ && !lines_.empty()) {
    if (!text.empty() && text.front() == kBackspace) {
      // A backspace edits the unfinished line; the rest of the text is not shown.
      std::string& last = lines_.back();
      if (!last.empty()) last.pop_back();
      if (last.empty()) lastLineComplete_ = true;
      return;
    }
    working = std::move(lines_.back());
    lines_.pop_back();
  }
  working.append(text);

  std::size_t begin = 0;
  for (std::size_t end = working.find('\n'); end != std::string::npos;
       end = working.find('\n', begin)) {
    lines_.emplace_back(working, begin, end - begin);
    begin = end + 1;
  }
  if (begin < working.size()) {
    lines_.emplace_back(working, begin);
    lastLineComplete_ = false;
  } else {
    lastLineComplete_ = true;
  }

  if (lines_.size() >= kListTrimAt) {
    lines_.erase(lines_.begin(),
                 lines_.begin() + static_cast<std::ptrdiff_t>(lines_.size() - kListKeep));
  }
}

void ListText::Clear() {
  lines_.clear();
  lastLineComplete_ = true;
}

}  // namespace tarvo::ui

// The scrolling text lists of the note and support dialogs. Text is appended in pieces; a
// piece without a closing line break leaves an unfinished last line that the next piece
// continues, and a piece that starts with a backspace takes one character off that
// unfinished line. The list keeps its most recent lines only.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::ui {

// When the list reaches this many lines, lines are taken from the top ...
inline constexpr std::size_t kListTrimAt = 220;
// ... until this many remain.
inline constexpr std::size_t kListKeep = 204;

inline constexpr char kBackspace = '\b';

class ListText {
 public:
  // Appends plain text: "%" has no meaning here.
  void Append(std::string_view text);

  void Clear();

  const std::vector<std::string>& Lines() const { return lines_; }
  // True when the last line was ended by a line break (or the list is new).
  bool LastLineComplete() const { return lastLineComplete_; }

 private:
  std::vector<std::string> lines_;
  bool lastLineComplete_ = true;
};

}  // namespace tarvo::ui

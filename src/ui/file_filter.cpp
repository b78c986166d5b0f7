#include "ui/file_filter.h"

namespace tarvo::ui {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t begin = 0;
  for (std::size_t end = text.find(separator); end != std::string::npos;
       end = text.find(separator, begin)) {
    parts.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  parts.push_back(text.substr(begin));
  return parts;
}

// The description without a trailing "(...)" that repeats the patterns.
std::string BareDescription(const std::string& description) {
  const std::size_t open = description.rfind(" (");
  if (open != std::string::npos && !description.empty() && description.back() == ')') {
    return description.substr(0, open);
  }
  return description;
}

}  // namespace

std::vector<FileFilterEntry> ParseFileFilter(const std::string& filter) {
  std::vector<FileFilterEntry> entries;
  const std::vector<std::string> parts = Split(filter, '|');
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty()) break;  // the closing "||"
    FileFilterEntry entry{parts[i], {}};
    for (const std::string& pattern : Split(parts[i + 1], ';')) {
      if (!pattern.empty()) entry.patterns.push_back(pattern == "*.*" ? "*" : pattern);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<std::string> DialogFilterTexts(const std::string& filter) {
  std::vector<std::string> texts;
  for (const FileFilterEntry& entry : ParseFileFilter(filter)) {
    std::string text = BareDescription(entry.description) + " (";
    for (std::size_t i = 0; i < entry.patterns.size(); ++i) {
      if (i > 0) text += ' ';
      text += entry.patterns[i];
    }
    texts.push_back(text + ")");
  }
  return texts;
}

}  // namespace tarvo::ui

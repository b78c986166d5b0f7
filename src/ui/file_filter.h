// File dialog filters arrive in the form "Name (*.ext)|*.ext|All Files (*.*)|*.*||": pairs of
// a description and its patterns. The window's file dialogs take them as a list of
// "Description (patterns)" entries.
#pragma once

#include <string>
#include <vector>

namespace tarvo::ui {

struct FileFilterEntry {
  std::string description;
  std::vector<std::string> patterns;  // "*.*" is given as "*": every file, with or without a dot
};

std::vector<FileFilterEntry> ParseFileFilter(const std::string& filter);

// "orva.tarvo firmware packets (*.tvf)", "All Files (*)": one text per entry, the patterns in
// brackets as the window toolkit expects them.
std::vector<std::string> DialogFilterTexts(const std::string& filter);

}  // namespace tarvo::ui

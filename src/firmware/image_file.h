// Whole-file reads for the image readers: a raw image file is read into memory in one go and
// parsed there.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tarvo {

// Reads the whole file. ERR_FILE_OPEN when it cannot be opened, ERR_FILE_TOO_MUCH_DATA when it
// is longer than maxLength, ERR_FILE_READ when fewer bytes come than its length.
[[nodiscard]] std::uint32_t ReadWholeFile(const std::string& path, std::uint64_t maxLength,
                                          std::vector<std::uint8_t>* bytes);

// A text image file, open for reading for the life of the object.
class TextImageFile {
 public:
  explicit TextImageFile(const std::string& path);
  ~TextImageFile();
  TextImageFile(const TextImageFile&) = delete;
  TextImageFile& operator=(const TextImageFile&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  std::FILE* Get() const { return file_; }

 private:
  std::FILE* file_;
};

}  // namespace tarvo

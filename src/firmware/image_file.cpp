#include "firmware/image_file.h"

#include <cstdio>

#include "log/result_codes.h"

namespace tarvo {

std::uint32_t ReadWholeFile(const std::string& path, std::uint64_t maxLength,
                            std::vector<std::uint8_t>* bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return ERR_FILE_OPEN;
  long length = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
  if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
    std::fclose(file);
    return ERR_FILE_READ;
  }
  if (static_cast<std::uint64_t>(length) > maxLength) {
    std::fclose(file);
    return ERR_FILE_TOO_MUCH_DATA;
  }
  bytes->resize(static_cast<std::size_t>(length));
  const std::size_t read = std::fread(bytes->data(), 1, bytes->size(), file);
  std::fclose(file);
  return read == bytes->size() ? 0 : ERR_FILE_READ;
}

TextImageFile::TextImageFile(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {}

TextImageFile::~TextImageFile() {
  if (file_ != nullptr) std::fclose(file_);
}

}  // namespace tarvo

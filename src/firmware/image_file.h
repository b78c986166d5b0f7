// Whole-file reads for the image readers: a raw image file is read into memory in one go and
// parsed there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo {

// Text image files (hex, rom, mem) longer than this are refused with ERR_FILE_TOO_MUCH_DATA;
// the largest image they can describe takes well under a tenth of it.
inline constexpr std::uint64_t kTextImageFileLimit = 512ull * 1024 * 1024;

// Reads the whole file. ERR_FILE_OPEN when it cannot be opened, ERR_FILE_TOO_MUCH_DATA when it
// is longer than maxLength, ERR_FILE_READ when fewer bytes come than its length.
[[nodiscard]] std::uint32_t ReadWholeFile(const std::string& path, std::uint64_t maxLength,
                                          std::vector<std::uint8_t>* bytes);

}  // namespace tarvo

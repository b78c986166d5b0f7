#include "log/error_texts.h"

#include "log/camera_error_text.h"
#include "log/result_codes.h"

namespace tarvo {

namespace {

struct CodeText {
  std::uint32_t code;
  const char* text;
};

// "%s" stands for the file name.
constexpr CodeText kFileErrorTexts[] = {
    {ERR_FILE_OPEN, "File '%s' could not be opened!"},
    {ERR_FILE_READ, "Read from file '%s' failed!"},
    {ERR_FILE_WRITE, "Write to file '%s' failed!"},
    {ERR_FILE_CHECKSUM, "Checksum error in file '%s'!"},
    {ERR_FILE_STRUCTURE, "Unknown data structure in file '%s'!"},
    {ERR_FILE_TOO_MUCH_DATA, "Too much data in file '%s'"},
    {ERR_FILE_NAME, "'%s' not a valid filename or extension!"},
};

constexpr CodeText kDeviceErrorTexts[] = {
    {ERR_RESPONSE_TIMEOUT, "Timeout waiting for response!"},
    {ERR_RESPONSE_CHECKSUM, "Checksum error in response!"},
    {ERR_RESPONSE_SIZE, "Wrong size of response!"},
    {ERR_RESPONSE_UNEXPECTED, "Unexpected response message!"},
    {ERR_VERIFY_FAILED, "Verify failed!"},
};

template <std::size_t N>
const char* Find(const CodeText (&table)[N], std::uint32_t code) {
  for (const CodeText& entry : table) {
    if (entry.code == code) return entry.text;
  }
  return nullptr;
}

}  // namespace

std::string FileErrorText(std::uint32_t code, const std::string& fileName) {
  const char* text = Find(kFileErrorTexts, code);
  if (text == nullptr) return CameraErrorText(code);
  // The name is inserted as it is: a '%' in a file name is no format directive.
  std::string line = text;
  const std::size_t at = line.find("%s");
  line.replace(at, 2, fileName);
  return line;
}

std::string DeviceErrorText(std::uint32_t code) {
  const char* text = Find(kDeviceErrorTexts, code);
  return text != nullptr ? std::string(text) : CameraErrorText(code);
}

}  // namespace tarvo

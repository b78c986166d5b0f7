#include "log/log_seal.h"

#include <memory>
#include <vector>

#include "log/format_text.h"

namespace tarvo {

void LogSealSum::Add(const std::uint8_t* bytes, std::size_t length) {
  if (length == 0) return;
  // Every byte counts as a signed value; a CR directly followed by LF is dropped (CR LF counts
  // as the single LF a text-mode read returns), so its 13 is taken back out of the sum.
  // Unsigned arithmetic wraps exactly like the 32-bit signed sum the seal is defined on.
  std::uint32_t sum = 0;
  if (pendingCarriageReturn_ && bytes[0] == '\n') sum -= 13u;
  const std::size_t last = length - 1;
  for (std::size_t i = 0; i < last; ++i) {
    const std::uint32_t lineEnd = (bytes[i] == '\r') & (bytes[i + 1] == '\n');
    sum += static_cast<std::uint32_t>(static_cast<std::int8_t>(bytes[i])) - lineEnd * 13u;
  }
  sum += static_cast<std::uint32_t>(static_cast<std::int8_t>(bytes[last]));
  pendingCarriageReturn_ = bytes[last] == '\r';
  sum_ += sum;
}

std::uint32_t LogSealSum::Seal() const {
  return sum_ ^ kLogSealMask;
}

bool ComputeLogSeal(std::FILE* file, std::uint64_t length, std::uint32_t* seal) {
  constexpr std::size_t kChunk = 1 << 20;
  std::vector<std::uint8_t> chunk(kChunk);
  if (std::fseek(file, 0, SEEK_SET) != 0) return false;
  LogSealSum sum;
  std::uint64_t left = length;
  while (left > 0) {
    const std::size_t wanted = left < kChunk ? static_cast<std::size_t>(left) : kChunk;
    const std::size_t got = std::fread(chunk.data(), 1, wanted, file);
    if (got != wanted) return false;
    sum.Add(chunk.data(), got);
    left -= got;
  }
  *seal = sum.Seal();
  return true;
}

std::string FormatLogSeal(std::uint32_t seal) {
  return FormatText("%08x", seal);
}

bool IsLogSealText(const char* bytes) {
  for (std::size_t i = 0; i < kLogSealLength; ++i) {
    const char c = bytes[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

LogSealReport CheckLogSealFile(const std::string& path) {
  LogSealReport report;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return report;
  if (std::fseek(file.get(), 0, SEEK_END) != 0) return report;
  const long end = std::ftell(file.get());
  if (end < 0) return report;
  const std::uint64_t length = static_cast<std::uint64_t>(end);
  if (length < kLogSealLength) {
    report.result = LogSealCheck::kNoSeal;
    return report;
  }
  char tail[kLogSealLength];
  if (std::fseek(file.get(), static_cast<long>(length - kLogSealLength), SEEK_SET) != 0 ||
      std::fread(tail, 1, kLogSealLength, file.get()) != kLogSealLength) {
    return report;
  }
  if (!IsLogSealText(tail)) {
    report.result = LogSealCheck::kNoSeal;
    return report;
  }
  std::uint32_t computed = 0;
  if (!ComputeLogSeal(file.get(), length - kLogSealLength, &computed)) return report;
  report.stored =
      static_cast<std::uint32_t>(std::stoul(std::string(tail, kLogSealLength), nullptr, 16));
  report.computed = computed;
  report.result = report.stored == computed ? LogSealCheck::kValid : LogSealCheck::kMismatch;
  return report;
}

}  // namespace tarvo

#include "log/log_seal.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvo {
namespace {

std::uint32_t SealOf(const std::string& text) {
  LogSealSum sum;
  sum.Add(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  return sum.Seal();
}

// Bytes count as signed values, a line end (CR LF, also split across two chunks) as one LF, a
// CR that ends no line as itself; the sum is masked. (tarvo-cli's log check tests the files.)
TEST(LogSeal, SignedBytesAddUpWithEachLineEndCountedAsOneLineFeed) {
  const std::pair<std::string, std::uint32_t> sums[] = {
      {"A\r\n", 75}, {"A\n", 75}, {"A\r", 78}, {"\r\r\n", 23}, {"\xff\r\n", 9}, {"\x80", -128u}};
  for (const auto& [text, sum] : sums) EXPECT_EQ(SealOf(text), sum ^ kLogSealMask) << text;
  EXPECT_EQ(FormatLogSeal(SealOf("")), "5a17c3e9");
  const std::string text = "ab\r\ncd\r\n";
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    LogSealSum sum;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    sum.Add(bytes, cut);
    sum.Add(bytes + cut, text.size() - cut);
    EXPECT_EQ(sum.Seal(), SealOf(text)) << "cut at " << cut;
  }
}

}  // namespace
}  // namespace tarvo

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "log/log_seal.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

std::uint32_t SealOf(const std::string& text) {
  LogSealSum sum;
  sum.Add(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  return sum.Seal();
}

TEST(LogSeal, LineEndsCountAsOneLineFeed) {
  // 'A' (65) + LF (10) = 75.
  EXPECT_EQ(SealOf("A\r\n"), 75u ^ kLogSealMask);
  EXPECT_EQ(SealOf("A\n"), 75u ^ kLogSealMask);
  // A CR that is no line end counts as itself.
  EXPECT_EQ(SealOf("A\r"), 78u ^ kLogSealMask);
  EXPECT_EQ(SealOf("\r\r\n"), 23u ^ kLogSealMask);
}

TEST(LogSeal, BytesAbove127LowerTheSum) {
  EXPECT_EQ(SealOf("\xff\r\n"), 9u ^ kLogSealMask);
  EXPECT_EQ(SealOf("\x80"), static_cast<std::uint32_t>(-128) ^ kLogSealMask);
  EXPECT_EQ(FormatLogSeal(SealOf("")), "5a17c3e9");
}

TEST(LogSeal, LineEndSplitAcrossChunksCountsOnce) {
  const std::string text = "ab\r\ncd\r\n";
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    LogSealSum sum;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    sum.Add(bytes, cut);
    sum.Add(bytes + cut, text.size() - cut);
    EXPECT_EQ(sum.Seal(), SealOf(text)) << "cut at " << cut;
  }
}

TEST(LogSeal, SumWrapsAround) {
  const std::string text(40000000, '\x7f');
  const std::uint32_t expected = static_cast<std::uint32_t>(40000000ull * 127ull);
  EXPECT_EQ(SealOf(text), expected ^ kLogSealMask);
}

TEST(LogSealFile, TellsValidMismatchedUnsealedAndUnreadable) {
  test::TempFolder folder;
  const std::string body = "12:00:00.000 line\r\n";
  const std::string good = folder.File("good.log");
  test::WriteFileText(good, body + FormatLogSeal(SealOf(body)));
  EXPECT_EQ(CheckLogSealFile(good).result, LogSealCheck::kValid);

  const std::string edited = folder.File("edited.log");
  test::WriteFileText(edited, "12:00:00.000 lime\r\n" + FormatLogSeal(SealOf(body)));
  const LogSealReport report = CheckLogSealFile(edited);
  EXPECT_EQ(report.result, LogSealCheck::kMismatch);
  EXPECT_EQ(report.stored, SealOf(body));
  EXPECT_NE(report.computed, report.stored);

  const std::string unsealed = folder.File("unsealed.log");
  test::WriteFileText(unsealed, body);
  EXPECT_EQ(CheckLogSealFile(unsealed).result, LogSealCheck::kNoSeal);
  EXPECT_EQ(CheckLogSealFile(folder.File("missing.log")).result, LogSealCheck::kUnreadable);
}

}  // namespace
}  // namespace tarvo

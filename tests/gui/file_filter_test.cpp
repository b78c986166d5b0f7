#include "ui/file_filter.h"

#include <gtest/gtest.h>

#include "firmware/device_catalogue.h"

namespace tarvo::ui {
namespace {

TEST(FileFilter, PacketFilterBecomesTwoDialogEntries) {
  EXPECT_EQ(DialogFilterTexts(kPacketFileFilter),
            (std::vector<std::string>{"orva.tarvo firmware packets (*.tvf)", "All Files (*)"}));
}

TEST(FileFilter, SeveralPatternsAndNoClosingBars) {
  const std::vector<FileFilterEntry> entries =
      ParseFileFilter("Images (*.hex;*.rom)|*.hex;*.rom|Any|*.*");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].patterns, (std::vector<std::string>{"*.hex", "*.rom"}));
  EXPECT_EQ(entries[1].patterns, (std::vector<std::string>{"*"}));
  EXPECT_EQ(DialogFilterTexts("Images (*.hex;*.rom)|*.hex;*.rom||"),
            (std::vector<std::string>{"Images (*.hex *.rom)"}));
}

}  // namespace
}  // namespace tarvo::ui

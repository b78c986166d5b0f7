#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/folders.h"
#include "platform/new_file.h"
#include "platform/system_error.h"
#include "support/temp_folder.h"

namespace tarvo::platform {
namespace {

TEST(Folders, DataFoldersAreTheSystemsUnlessTarvoDataDirNamesOne) {
  {
    test::ScopedEnvironment data("TARVO_DATA_DIR", "/srv/tarvo");
    EXPECT_EQ(CommonDataFolder(), "/srv/tarvo");
    EXPECT_EQ(UserDataFolder(), "/srv/tarvo");
  }
  test::ScopedEnvironment data("TARVO_DATA_DIR", std::nullopt);
#ifdef _WIN32
  // The common and the local application data folders, as Windows also names them to programs.
  EXPECT_EQ(CommonDataFolder(), std::getenv("ProgramData"));
  EXPECT_EQ(UserDataFolder(), std::getenv("LOCALAPPDATA"));
#else
  test::ScopedEnvironment home("HOME", "/home/tech");
  for (const auto& [xdg, folder] :  // a relative XDG_DATA_HOME is ignored, as the rules say
       {std::pair{"/srv/data", "/srv/data"},
        {"", "/home/tech/.local/share"},
        {"relative", "/home/tech/.local/share"}}) {
    test::ScopedEnvironment xdgData("XDG_DATA_HOME", xdg);
    EXPECT_EQ(CommonDataFolder(), folder) << xdg;
    EXPECT_EQ(UserDataFolder(), folder) << xdg;
  }
  test::ScopedEnvironment none("XDG_DATA_HOME", std::nullopt), noHome("HOME", std::nullopt);
  EXPECT_EQ(CommonDataFolder(), "");  // no data folder: the program says so
#endif
}

TEST(Folders, PacketSearchMatchesTheExtensionInAnyCase) {
  test::TempFolder folder;
  for (const char* name : {"b.tvf", "A.TVF", "c.tvf.bak", "tvf"})
    test::WriteFileText(folder.File(name), "");
  test::CreateFolderForTest(folder.File("dir.tvf"));
  EXPECT_THAT(FindFilesWithExtension(folder.Path(), ".tvf"),
              ::testing::ElementsAre(folder.File("A.TVF"), folder.File("b.tvf")));
  EXPECT_TRUE(FindFilesWithExtension(folder.File("missing"), ".tvf").empty());
}

// Backup names are taken by creating the file exclusively: the second try must see it taken.
TEST(Files, ANewFileIsCreatedOnlyOnce) {
  test::TempFolder folder;
  EXPECT_EQ(CreateNewFile(folder.File("n.tvf")), NewFileResult::kCreated);
  EXPECT_EQ(CreateNewFile(folder.File("n.tvf")), NewFileResult::kExists);
  EXPECT_EQ(CreateNewFile(folder.File("none/n.tvf")), NewFileResult::kFailed);
  EXPECT_EQ(LastSystemErrorText(), "No such file or directory");
#ifndef _WIN32
  EXPECT_TRUE(CreateFolders(folder.File("a:/b")));  // a folder named "a:" is a folder
#endif
}

}  // namespace
}  // namespace tarvo::platform

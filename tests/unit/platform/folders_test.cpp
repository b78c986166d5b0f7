#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/dynamic_library.h"
#include "platform/folders.h"
#include "platform/new_file.h"
#include "platform/system_error.h"
#include "support/temp_folder.h"

namespace tarvo::platform {
namespace {

using ::testing::ElementsAre;

TEST(Folders, CommonDataFolderFollowsXdgDataHomeThenHome) {
  {
    test::ScopedEnvironment data("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(CommonDataFolder(), "/srv/data");
  }
  {
    test::ScopedEnvironment data("XDG_DATA_HOME", std::nullopt);
    test::ScopedEnvironment home("HOME", "/home/tech");
    EXPECT_EQ(CommonDataFolder(), "/home/tech/.local/share");
  }
  {
    // A relative XDG_DATA_HOME is ignored, as the base directory rules say.
    test::ScopedEnvironment data("XDG_DATA_HOME", "relative");
    test::ScopedEnvironment home("HOME", "/home/tech");
    EXPECT_EQ(CommonDataFolder(), "/home/tech/.local/share");
  }
  {
    test::ScopedEnvironment data("XDG_DATA_HOME", std::nullopt);
    test::ScopedEnvironment home("HOME", std::nullopt);
    EXPECT_EQ(CommonDataFolder(), "");
  }
}

TEST(Folders, PacketSearchMatchesTheExtensionInAnyCase) {
  test::TempFolder folder;
  test::WriteFileText(folder.File("b.tvf"), "");
  test::WriteFileText(folder.File("A.TVF"), "");
  test::WriteFileText(folder.File("c.tvf.bak"), "");
  test::WriteFileText(folder.File("tvf"), "");
  test::CreateFolderForTest(folder.File("dir.tvf"));
  EXPECT_THAT(FindFilesWithExtension(folder.Path(), ".tvf"),
              ElementsAre(folder.File("A.TVF"), folder.File("b.tvf")));
  EXPECT_TRUE(FindFilesWithExtension(folder.File("missing"), ".tvf").empty());
}

TEST(Folders, CreatesNestedFoldersAndJoinsPaths) {
  test::TempFolder folder;
  const std::string nested = JoinPath(JoinPath(folder.Path(), "a"), "b");
  EXPECT_TRUE(CreateFolders(nested));
  EXPECT_TRUE(PathExists(nested));
  EXPECT_TRUE(CreateFolder(nested));  // exists already
  EXPECT_EQ(JoinPath("", "x"), "x");
  EXPECT_EQ(JoinPath("/a/", "x"), "/a/x");
  EXPECT_EQ(FileNameOf("/a/b/c.tvf"), "c.tvf");
  EXPECT_EQ(FileLength(folder.File("none")), -1);
}

// Backup names are taken by creating the file exclusively: the second try must see it taken.
TEST(Files, ANewFileIsCreatedOnlyOnce) {
  test::TempFolder folder;
  EXPECT_EQ(CreateNewFile(folder.File("n.tvf")), NewFileResult::kCreated);
  EXPECT_EQ(CreateNewFile(folder.File("n.tvf")), NewFileResult::kExists);
  EXPECT_EQ(CreateNewFile(folder.File("none/n.tvf")), NewFileResult::kFailed);
  EXPECT_EQ(LastSystemErrorText(), "No such file or directory");
}

TEST(Folders, ProgramFolderHoldsTheRunningProgram) {
  const std::string folder = ProgramFolder();
  EXPECT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '/');
  EXPECT_TRUE(PathExists(JoinPath(folder, "tarvo_platform_tests")));
}

TEST(DynamicLibrary, MissingLibrariesAndEntryPoints) {
  EXPECT_EQ(SharedLibraryFileName("qlm_usb"), "libqlm_usb.so");
  EXPECT_EQ(LoadSharedLibrary("libtarvo_does_not_exist.so"), nullptr);
  EXPECT_FALSE(LastLoaderError().empty());
  EXPECT_EQ(ResolveEntryPoint(nullptr, "Open_Cam"), nullptr);
  LibraryHandle libc = LoadSharedLibrary("libc.so.6");
  ASSERT_NE(libc, nullptr);
  EXPECT_NE(ResolveEntryPoint(libc, "strlen"), nullptr);
  EXPECT_EQ(ResolveEntryPoint(libc, "Open_Cam"), nullptr);
  UnloadSharedLibrary(libc);
}

}  // namespace
}  // namespace tarvo::platform

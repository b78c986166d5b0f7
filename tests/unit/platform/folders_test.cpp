#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/atomic_file.h"
#include "platform/dynamic_library.h"
#include "platform/folders.h"
#include "platform/new_file.h"
#include "platform/same_file.h"
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

// A file is either written whole or the file of that name keeps its old bytes; no temporary
// stays behind in either case.
TEST(Files, AtomicFileReplacesOnlyWhenCompleteAndLeavesNoTemporary) {
  test::TempFolder folder;
  const std::string target = folder.File("p.tvf");
  test::WriteFileText(target, "old");
  const auto writeNew = [&](ReplaceMode mode, const std::string& text) {
    AtomicFile file(target);
    const bool ok = file.Create() && file.Write(text.data(), text.size()) && file.Finish() &&
                    test::ReadFileText(file.TemporaryPath()) == text && file.Commit(mode);
    return ok ? std::string() : file.Error();
  };
  EXPECT_EQ(writeNew(ReplaceMode::kKeepExisting, "new"), "File exists");
  EXPECT_EQ(test::ReadFileText(target), "old");
  EXPECT_EQ(writeNew(ReplaceMode::kReplace, "new"), "");
  EXPECT_EQ(test::ReadFileText(target), "new");
  {
    AtomicFile dropped(target);  // written, never committed
    ASSERT_TRUE(dropped.Create() && dropped.Write("xx", 2));
  }
  // A full disk: the write fails with the system's reason, the old file stays.
  const std::string big(100000, 'b');
  EXPECT_EQ(
      test::RunOnFullDisk(
          5000, [&] { return writeNew(ReplaceMode::kReplace, big) == "File too large" ? 0 : 1; }),
      0);
  EXPECT_EQ(test::ReadFileText(target), "new");
  EXPECT_EQ(test::FolderEntries(folder.Path()), std::vector<std::string>{"p.tvf"});

  // A folder that is a file: nothing can be created in it.
  AtomicFile nowhere(folder.File("p.tvf/x"));
  EXPECT_FALSE(nowhere.Create());
  EXPECT_EQ(nowhere.Error(), "Not a directory");
}

TEST(Files, SameFileNewFileAndRemoval) {
  test::TempFolder folder;
  const std::string file = folder.File("a.bit");
  test::WriteFileText(file, "x");
  ASSERT_EQ(symlink(file.c_str(), folder.File("sym").c_str()), 0);
  ASSERT_EQ(link(file.c_str(), folder.File("hard").c_str()), 0);
  EXPECT_TRUE(IsSameFile(file, folder.Path() + "/./a.bit"));
  EXPECT_TRUE(IsSameFile(file, folder.File("sym")));
  EXPECT_TRUE(IsSameFile(folder.File("hard"), file));
  test::WriteFileText(folder.File("b.bit"), "x");
  EXPECT_FALSE(IsSameFile(file, folder.File("b.bit")));
  EXPECT_FALSE(IsSameFile(folder.File("none"), folder.File("none")));

  EXPECT_EQ(CreateNewFile(folder.File("n.tvf")), NewFileResult::kCreated);
  EXPECT_EQ(CreateNewFile(folder.File("n.tvf")), NewFileResult::kExists);
  EXPECT_EQ(CreateNewFile(folder.File("none/n.tvf")), NewFileResult::kFailed);
  EXPECT_EQ(LastSystemErrorText(), "No such file or directory");
  EXPECT_TRUE(RemoveFile(folder.File("n.tvf")));
  EXPECT_FALSE(PathExists(folder.File("n.tvf")));
  EXPECT_TRUE(RemoveFile(folder.File("n.tvf")));
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

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/dynamic_library.h"
#include "platform/folders.h"
#include "platform/new_file.h"
#include "platform/system_error.h"
#include "support/temp_folder.h"

namespace tarvo::platform {
namespace {

using ::testing::ElementsAre;

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
  {
    test::ScopedEnvironment xdg("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(CommonDataFolder(), "/srv/data");
    EXPECT_EQ(UserDataFolder(), "/srv/data");
  }
  test::ScopedEnvironment home("HOME", "/home/tech");
  for (const char* xdg : {"", "relative"}) {  // a relative one is ignored, as the rules say
    test::ScopedEnvironment relative("XDG_DATA_HOME", xdg);
    EXPECT_EQ(CommonDataFolder(), "/home/tech/.local/share") << xdg;
  }
  test::ScopedEnvironment none("XDG_DATA_HOME", std::nullopt), noHome("HOME", std::nullopt);
  EXPECT_EQ(CommonDataFolder(), "");  // no data folder: the program says so
#endif
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

// Backup names are taken by creating the file exclusively: the second try must see it taken.
TEST(Files, ANewFileIsCreatedOnlyOnce) {
  test::TempFolder folder;
  EXPECT_EQ(CreateNewFile(folder.File("n.tvf")), NewFileResult::kCreated);
  EXPECT_EQ(CreateNewFile(folder.File("n.tvf")), NewFileResult::kExists);
  EXPECT_EQ(CreateNewFile(folder.File("none/n.tvf")), NewFileResult::kFailed);
  EXPECT_EQ(LastSystemErrorText(), "No such file or directory");
}

#ifdef _WIN32
constexpr const char* kSystemLibrary = "kernel32.dll";
constexpr const char* kSystemEntryPoint = "GetTickCount";
#else
constexpr const char* kSystemLibrary = "libc.so.6";
constexpr const char* kSystemEntryPoint = "strlen";
#endif

TEST(DynamicLibrary, MissingLibrariesAndEntryPoints) {
  EXPECT_EQ(LoadSharedLibrary(SharedLibraryFileName("tarvo_does_not_exist")), nullptr);
  EXPECT_FALSE(LastLoaderError().empty());
  EXPECT_EQ(ResolveEntryPoint(nullptr, "Open_Cam"), nullptr);
  LibraryHandle system = LoadSharedLibrary(kSystemLibrary);
  ASSERT_NE(system, nullptr);
  EXPECT_NE(ResolveEntryPoint(system, kSystemEntryPoint), nullptr);
  EXPECT_EQ(ResolveEntryPoint(system, "Open_Cam"), nullptr);
  UnloadSharedLibrary(system);
}

}  // namespace
}  // namespace tarvo::platform

// The delete list's lines, and the guards that keep deletions inside the installation folder.
#include "uninstall/delete_list.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitDeleteList, LineEndsEmptyLinesAndTrailingSpaces) {
  EXPECT_EQ(SplitDeleteList("skin\n\nCorvaneClient.exe"), (Lines{"skin", "CorvaneClient.exe"}));
  EXPECT_EQ(SplitDeleteList("skin\r\n\r\nCorvaneClient.exe\r\n"), (Lines{"skin", "CorvaneClient.exe"}));
  EXPECT_EQ(SplitDeleteList("a \nb"), (Lines{"a ", "b"})) << "nothing but the line end is trimmed";
  EXPECT_EQ(SplitDeleteList(""), Lines{});
  EXPECT_EQ(SplitDeleteList("\n\r\n"), Lines{});
  EXPECT_EQ(SplitDeleteList("x\ry\n"), (Lines{"x\ry"})) << "a CR inside a line is not a line end";
}

TEST(IsSafeDeleteEntry, PlainRelativePathsPass) {
  for (const wchar_t* entry : {L"CorvaneClient.exe", L"skin", L"error_page\\Error.html", L"locales/zh-CN.pak",
                               L"a ", L".\\cache", L"console.log", L"connection", L"COM10", L"LPT0.txt", L"nul_x"}) {
    EXPECT_TRUE(IsSafeDeleteEntry(entry)) << std::string(entry, entry + wcslen(entry));
  }
}

TEST(IsSafeDeleteEntry, EverythingThatLeavesTheFolderIsRefused) {
  for (const wchar_t* entry : {L"", L"C:\\Windows", L"C:Windows", L"\\Windows", L"/etc", L"\\\\server\\share\\x",
                               L"\\\\?\\C:\\x", L"..", L"..\\..\\Windows", L"skin\\..\\..\\x", L"a/../../b",
                               L".. \\x", L"...\\x", L"file.txt:stream", L"x\\..", L"CON", L"con", L"NUL.txt",
                               L"skin\\aux", L"PRN .log", L"COM1", L"lpt9.dat", L"CONIN$", L"conout$",
                               L"COM\x00B9"}) {
    EXPECT_FALSE(IsSafeDeleteEntry(entry)) << std::string(entry, entry + wcslen(entry));
  }
}

TEST(IsSafeDeleteEntry, TheFolderItselfAndNamesCutAtANulAreRefused) {
  for (const std::wstring& entry : std::vector<std::wstring>{L".", L".\\", L"./.", L". ", std::wstring(L"\0", 1),
                                                             std::wstring(L"\0skin", 5), std::wstring(L"skin\0x", 6)}) {
    EXPECT_FALSE(IsSafeDeleteEntry(entry)) << entry.size();
  }
}

class InstallDir : public ::testing::Test {
 protected:
  const std::vector<std::wstring> protectedFolders = {
      L"C:\\Windows", L"C:\\Program Files", L"C:\\Program Files (x86)", L"C:\\Users\\teacher",
      L"C:\\Users\\teacher\\Desktop", L"C:\\Users"};
};

TEST_F(InstallDir, OrdinaryFoldersPass) {
  EXPECT_TRUE(IsDeletableInstallDir(L"C:\\Program Files (x86)\\Corvane", protectedFolders));
  EXPECT_TRUE(IsDeletableInstallDir(L"D:\\Apps\\Corvane\\", protectedFolders));
  EXPECT_TRUE(IsDeletableInstallDir(L"C:\\Users\\teacher\\AppData\\Local\\Programs\\Corvane", protectedFolders));
  EXPECT_TRUE(IsDeletableInstallDir(L"\\\\server\\share\\Corvane", protectedFolders));
  EXPECT_TRUE(IsDeletableInstallDir(L"C:\\Windowsapps\\Corvane", protectedFolders)) << "a prefix is not a parent";
}

TEST_F(InstallDir, RootsSystemFoldersTheirParentsAndOddPathsAreRefused) {
  for (const wchar_t* dir : {L"", L"C:", L"C:\\", L"c:/", L"\\\\server\\share", L"\\\\server\\share\\",
                             L"C:\\Windows", L"c:\\windows\\", L"C:\\Program Files", L"C:\\PROGRAM FILES (X86)",
                             L"C:\\Users\\teacher", L"C:\\Users\\teacher\\Desktop", L"C:\\Users",
                             L"Corvane", L"\\Corvane", L"C:Corvane", L"C:\\x\\..\\Windows", L"C:\\a:b"}) {
    EXPECT_FALSE(IsDeletableInstallDir(dir, protectedFolders)) << std::string(dir, dir + wcslen(dir));
  }
}

TEST_F(InstallDir, SpellingsWindowsReadsAsARootOrAGuardedFolderAreRefused) {
  for (const std::wstring& dir : std::vector<std::wstring>{
           L"C:\\.", L"C:\\Apps\\..", L"C:\\Apps\\.. ", L"C:\\Windows.", L"C:\\Windows \\", L"C:\\\\Windows",
           L"C:/Program Files/./Corvane", L"\\\\server\\share\\ .", std::wstring(L"C:\\Users\0\\x", 11)}) {
    EXPECT_FALSE(IsDeletableInstallDir(dir, protectedFolders)) << dir.size();
  }
  EXPECT_TRUE(IsDeletableInstallDir(L"D:\\Apps\\\\Corvane.", protectedFolders)) << "still one plain folder";
  // A redirected profile folder on a server is guarded under any spelling of its server or share.
  const std::vector<std::wstring> profiles = {L"\\\\server\\share\\profiles"};
  for (const wchar_t* dir : {L"\\\\server  \\share\\profiles\\\\", L"\\\\SERVER\\share.\\Profiles", L"\\\\ \\share\\x"}) {
    EXPECT_FALSE(IsDeletableInstallDir(dir, profiles)) << std::string(dir, dir + wcslen(dir));
  }
}

TEST_F(InstallDir, LengthOf260OrMoreIsRefused) {
  std::wstring dir = L"D:\\" + std::wstring(256, L'a');  // 259 characters
  EXPECT_TRUE(IsDeletableInstallDir(dir, protectedFolders));
  EXPECT_FALSE(IsDeletableInstallDir(dir + L"b", protectedFolders));
}

TEST(EntryComponents, WalkedInOrderWithoutEmptyOnes) {
  using Parts = std::vector<std::wstring>;
  EXPECT_EQ(EntryComponents(L"CorvaneClient.exe"), Parts{L"CorvaneClient.exe"});
  EXPECT_EQ(EntryComponents(L"via\\deep\\victim.txt"), (Parts{L"via", L"deep", L"victim.txt"}));
  EXPECT_EQ(EntryComponents(L"locales/zh-CN.pak"), (Parts{L"locales", L"zh-CN.pak"}));
  EXPECT_EQ(EntryComponents(L"skin\\\\images\\"), (Parts{L"skin", L"images"})) << "doubled and trailing separators";
  EXPECT_EQ(EntryComponents(L".\\cache"), (Parts{L".", L"cache"})) << "a dot names the folder already walked";
}

TEST_F(InstallDir, FinalPathsLoseTheirPrefixBeforeTheGuards) {
  EXPECT_EQ(StripFinalPathPrefix(L"\\\\?\\C:\\Apps\\Corvane"), L"C:\\Apps\\Corvane");
  EXPECT_EQ(StripFinalPathPrefix(L"\\\\?\\UNC\\server\\share\\Corvane"), L"\\\\server\\share\\Corvane");
  EXPECT_EQ(StripFinalPathPrefix(L"C:\\Apps"), L"C:\\Apps");
  EXPECT_FALSE(IsDeletableInstallDir(StripFinalPathPrefix(L"\\\\?\\C:\\Windows"), protectedFolders));
  EXPECT_FALSE(IsDeletableInstallDir(StripFinalPathPrefix(L"\\\\?\\UNC\\server\\share"), protectedFolders));
  EXPECT_FALSE(IsDeletableInstallDir(StripFinalPathPrefix(L"\\\\?\\Volume{0b1e2c3d-0000-0000-0000-000000000000}\\x"),
                                     protectedFolders))
      << "a folder on a volume without a drive letter";
  EXPECT_TRUE(IsDeletableInstallDir(StripFinalPathPrefix(L"\\\\?\\UNC\\server\\share\\Corvane"), protectedFolders));
}

}  // namespace
}  // namespace corvane

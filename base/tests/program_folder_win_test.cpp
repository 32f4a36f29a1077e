// The program folder: the executable's folder without a trailing backslash.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/program_folder.h"

namespace corvane {
namespace {

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable) {
  const std::wstring folder = GetProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), L'\\');
  const DWORD attributes = GetFileAttributesW((folder + L"\\base_win_test.exe").c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

}  // namespace
}  // namespace corvane

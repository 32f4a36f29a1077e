// ReadFileVersion on PE files the build makes: with a version, without one, missing, too large.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/file_version.h"
#include "base/program_folder.h"

namespace corvane {
namespace {

std::wstring Probe(const wchar_t* name) { return GetProgramFolder() + L"\\" + name; }

TEST(ReadFileVersion, ReadsTheFixedFileVersionNotTheProductVersion) {
  const FileVersion v = ReadFileVersion(Probe(L"version_probe_versioned.exe"));
  EXPECT_EQ(FormatFileVersion(v), "1.2.0.15");
  EXPECT_EQ(v.ms, 0x00010002u);
  EXPECT_EQ(v.ls, 0x0000000Fu);
}

TEST(ReadFileVersion, ZerosWithoutAResourceOrAFile) {
  EXPECT_EQ(FormatFileVersion(ReadFileVersion(Probe(L"version_probe_plain.exe"))), "0.0.0.0");
  EXPECT_EQ(FormatFileVersion(ReadFileVersion(Probe(L"no_such_file.exe"))), "0.0.0.0");
  EXPECT_EQ(ReadFileVersion(L"").ms, 0u);
}

TEST(ReadFileVersion, ZerosWhenTheResourceExceedsTheLimit) {
  const std::wstring huge = Probe(L"version_probe_huge.exe");
  DWORD ignored = 0;
  // The probe must really be over the limit, or this test proves nothing.
  ASSERT_GT(GetFileVersionInfoSizeW(huge.c_str(), &ignored), kMaxVersionInfoBytes);
  const FileVersion v = ReadFileVersion(huge);
  EXPECT_EQ(v.ms, 0u);
  EXPECT_EQ(v.ls, 0u);
}

}  // namespace
}  // namespace corvane

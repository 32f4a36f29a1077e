// FileVersion word splitting and text form.
#include "base/file_version.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(FileVersion, SplitsTheTwoWordsIntoFourNumbers) {
  const FileVersion v = MakeFileVersion(0x00010002u, 0x0000000Fu);
  EXPECT_EQ(v.major, 1);
  EXPECT_EQ(v.minor, 2);
  EXPECT_EQ(v.build, 0);
  EXPECT_EQ(v.revision, 15);
  EXPECT_EQ(v.ms, 0x00010002u);
  EXPECT_EQ(v.ls, 0x0000000Fu);
  EXPECT_EQ(FormatFileVersion(v), "1.2.0.15");
}

TEST(FileVersion, FormatsUnsignedWithoutPadding) {
  EXPECT_EQ(FormatFileVersion(FileVersion()), "0.0.0.0");
  EXPECT_EQ(FormatFileVersion(MakeFileVersion(0xFFFF0000u, 0x0001FFFFu)), "65535.0.1.65535");
  EXPECT_EQ(FormatFileVersion(MakeFileVersion(0x000107DFu, 0x07DC0001u)), "1.2015.2012.1");
}

}  // namespace
}  // namespace corvane

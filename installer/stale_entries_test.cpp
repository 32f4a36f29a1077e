// StaleEntries on the shapes an update meets: dropped files, dropped and kept folders, case,
// and entries the uninstaller would refuse.
#include "installer/stale_entries.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace corvane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(StaleEntries, WhatTheNewVersionNoLongerShipsInsideTheFolderOnly) {
  const std::vector<std::wstring> previous = {
      L"CorvaneClient.exe", L"old_helper.exe", L"error_page\\Error.html", L"error_page\\old.png", L"error_page",
      L"retired",           L"SKIN.ZIP",       L"..\\outside.txt",       L"C:\\Windows\\win.ini", L"sub\\..\\..\\x",
      L"NUL",               L"",
  };
  const std::vector<std::wstring> shipped = {L"CorvaneClient.exe", L"skin.zip", L"error_page/Error.html",
                                             L"error_page", L"uninstall.exe"};
  EXPECT_THAT(StaleEntries(previous, shipped),
              ElementsAre(L"old_helper.exe", L"error_page\\old.png", L"retired"));
}

TEST(StaleEntries, AFolderThatStillHoldsAShippedFileStays) {
  EXPECT_THAT(StaleEntries({L"data\\a.txt", L"data"}, {L"data\\b.txt"}), ElementsAre(L"data\\a.txt"));
  EXPECT_THAT(StaleEntries({L"data\\"}, {L"data\\b.txt"}), IsEmpty());
  EXPECT_THAT(StaleEntries({L"dat"}, {L"data\\b.txt"}), ElementsAre(L"dat"));
}

TEST(StaleEntries, ASpellingWindowsReadsAsAShippedEntryIsKept) {
  const std::vector<std::wstring> shipped = {L"CorvaneClient.exe", L"error_page", L"error_page\\Error.html"};
  EXPECT_THAT(StaleEntries({L"CorvaneClient.exe.", L"corvaneclient.exe ", L".\\CorvaneClient.exe",
                            L"error_page\\\\Error.html", L"./error_page", L"error_page.\\.\\error.HTML.. "},
                           shipped),
              IsEmpty());
  EXPECT_THAT(StaleEntries({L"error_page\\old.png.", L".\\retired"}, shipped),
              ElementsAre(L"error_page\\old.png.", L".\\retired"));
}

}  // namespace
}  // namespace corvane

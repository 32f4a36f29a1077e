// The navigation and response rule, and the names downloads are saved under.
#include <gtest/gtest.h>

#include <set>

#include "client/browser/download_name.h"
#include "client/browser/navigation_policy.h"

namespace corvane {
namespace {

TEST(NavigationPolicy, OnlyWebPagesReplaceThePage) {
  EXPECT_EQ(DecideNavigation("https://hw.example/a", false, false), NavigationVerdict::kAllow);
  EXPECT_EQ(DecideNavigation("HTTP://127.0.0.1/", false, false), NavigationVerdict::kAllow);
  EXPECT_EQ(DecideNavigation("about:blank", false, false), NavigationVerdict::kAllow);
  // A dropped or linked file never; the error page the program loads itself does.
  EXPECT_EQ(DecideNavigation("file:///home/t/a.png", true, false), NavigationVerdict::kRefuse);
  EXPECT_EQ(DecideNavigation("file:///opt/c/error_page/Error.html", false, true), NavigationVerdict::kAllow);
  EXPECT_EQ(DecideNavigation("mailto:a@b.c", true, false), NavigationVerdict::kDesktop);
  EXPECT_EQ(DecideNavigation("TEL:+86 10", true, false), NavigationVerdict::kDesktop);
  EXPECT_EQ(DecideNavigation("mailto:a@b.c", false, false), NavigationVerdict::kRefuse);  // a script alone
  for (const char* url : {"ftp://h/x", "javascript:1", "smb://h/s", "zoommtg://x", "", "no scheme", ":x", "1a:b"}) {
    EXPECT_EQ(DecideNavigation(url, true, false), NavigationVerdict::kRefuse) << url;
  }
}

TEST(NavigationPolicy, UnshowableTypesAndAttachmentsAreDownloads) {
  EXPECT_TRUE(ResponseIsDownload(false, ""));
  EXPECT_TRUE(ResponseIsDownload(true, "attachment; filename=\"a.docx\""));
  EXPECT_TRUE(ResponseIsDownload(true, " Attachment"));
  EXPECT_FALSE(ResponseIsDownload(true, "inline; filename=a.pdf"));
  EXPECT_FALSE(ResponseIsDownload(true, "attachments"));
  EXPECT_FALSE(ResponseIsDownload(true, ""));
}

TEST(DownloadName, ServerNamesAreMadeSafe) {
  EXPECT_EQ(SafeDownloadName("作业 第1课.docx"), "作业 第1课.docx");
  EXPECT_EQ(SafeDownloadName("../../.bashrc"), "bashrc");
  EXPECT_EQ(SafeDownloadName("C:\\Windows\\win.ini"), "win.ini");
  EXPECT_EQ(SafeDownloadName("a<b>c:d\"e|f?g*h\ti.txt"), "a_b_c_d_e_f_g_h_i.txt");
  EXPECT_EQ(SafeDownloadName("report. . "), "report");
  EXPECT_EQ(SafeDownloadName("con.txt"), "_con.txt");
  EXPECT_EQ(SafeDownloadName("COM1"), "_COM1");
  EXPECT_EQ(SafeDownloadName("console.txt"), "console.txt");
  for (const char* nothing : {"", "..", "/", "???", " . "}) EXPECT_EQ(SafeDownloadName(nothing), "download") << nothing;
  std::string longName;
  for (int i = 0; i < 100; ++i) longName += "作";  // 3 bytes each
  const std::string cut = SafeDownloadName(longName + ".pdf");
  EXPECT_LE(cut.size(), 200u);
  EXPECT_EQ(cut.substr(cut.size() - 4), ".pdf");
  EXPECT_EQ((cut.size() - 4) % 3, 0u) << "cut inside a character";
}

TEST(DownloadName, NeverTheNameOfAFileThere) {
  std::set<std::string> there = {"a.pdf", "a (1).pdf", "notes"};
  auto taken = [&](const std::string& name) { return there.count(name) != 0; };
  EXPECT_EQ(UniqueDownloadName("b.pdf", taken), "b.pdf");
  EXPECT_EQ(UniqueDownloadName("a.pdf", taken), "a (2).pdf");
  EXPECT_EQ(UniqueDownloadName("notes", taken), "notes (1)");
}

}  // namespace
}  // namespace corvane

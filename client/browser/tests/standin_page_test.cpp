// The stand-in's text view of a page, its links, and its history.
#include <gtest/gtest.h>

#include "client/browser/navigation_history.h"
#include "client/browser/standin/standin_page.h"

namespace corvane {
namespace {

TEST(PageText, TitleAndTextWithoutMarkupScriptsOrStyles) {
  const PageText page = ExtractPageText(
      "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title> Drovessa &amp; 作业 </title>"
      "<style>body { color: red; }</style><script>var a = '<p>no</p>';</script></head>"
      "<body><h1>老师端</h1><!-- hidden --><p>第一段   with\n  spaces &lt;b&gt; &#20316;&#x4E1A;</p>"
      "<div>二<br>三</div><a href=\"/Problem.html\">常见 问题</a> <A HREF='http://x/y' TARGET=_blank>新窗口</A>"
      "</body></html>");
  EXPECT_EQ(page.title, L"Drovessa & 作业");
  EXPECT_EQ(page.text, L"老师端\n第一段 with spaces <b> 作业\n二\n三\n常见 问题 新窗口");
  ASSERT_EQ(page.links.size(), 2u);
  EXPECT_EQ(page.links[0].href, L"/Problem.html");
  EXPECT_EQ(page.links[0].text, L"常见 问题");
  EXPECT_TRUE(page.links[0].target.empty());
  EXPECT_EQ(page.links[1].href, L"http://x/y");
  EXPECT_EQ(page.links[1].target, L"_blank");
}

TEST(PageText, UnclosedAndMalformedMarkupDoesNotThrowOrLoop) {
  EXPECT_EQ(ExtractPageText("a < b").text, L"a");
  EXPECT_EQ(ExtractPageText("<script>never closed").text, L"");
  EXPECT_EQ(ExtractPageText("x &bogus; &#0; & y").text, L"x &bogus; &#0; & y");
  EXPECT_EQ(ExtractPageText("").title, L"");
}

TEST(PageLinks, ResolvedAgainstThePageAndNewWindowTargets) {
  EXPECT_EQ(ResolveUrl(L"http://h:1/a/b.html", L"/Problem.html"), L"http://h:1/Problem.html");
  EXPECT_EQ(ResolveUrl(L"http://h:1/a/b.html", L"c.html"), L"http://h:1/a/c.html");
  EXPECT_EQ(ResolveUrl(L"http://h:1", L"c.html"), L"http://h:1/c.html");
  EXPECT_EQ(ResolveUrl(L"http://h:1/a?q#f", L"#top"), L"http://h:1/a?q#top");
  EXPECT_EQ(ResolveUrl(L"file:///C:/p/error_page/Error.html", L"http://s/"), L"http://s/");
  EXPECT_EQ(ResolveUrl(L"http://h:1/a/b.html", L"c.html?next=http://x/"), L"http://h:1/a/c.html?next=http://x/");
  EXPECT_EQ(ResolveUrl(L"http://h:1/a/b.html", L"://"), L"http://h:1/a/://");
  EXPECT_EQ(ResolveUrl(L"http://h:1/a/b.html", L"mailto:t@school.example"), L"mailto:t@school.example");
  EXPECT_EQ(ResolveUrl(L"http://h:1/a/b.html", L"about:blank"), L"about:blank");
  EXPECT_TRUE(OpensNewWindow(L"_blank"));
  EXPECT_TRUE(OpensNewWindow(L"other"));
  EXPECT_FALSE(OpensNewWindow(L""));
  EXPECT_FALSE(OpensNewWindow(L"_self"));
  EXPECT_FALSE(OpensNewWindow(L"_top"));
}

TEST(ClipboardFragment, TakesTheBytesBetweenTheFragmentOffsets) {
  const std::string body = "<html><body><!--StartFragment--><img src=\"data:x\">老<!--EndFragment--></body></html>";
  const std::string header = "Version:0.9\r\nStartHTML:0000000097\r\nEndHTML:0000000000\r\n";
  std::string entry = header + "StartFragment:0000000000\r\nEndFragment:0000000000\r\n" + body;
  const size_t start = entry.find("<img");
  const size_t end = entry.find("<!--EndFragment");
  char numbers[64];
  snprintf(numbers, sizeof numbers, "%010zu", start);
  entry.replace(entry.find("StartFragment:") + 14, 10, numbers);
  snprintf(numbers, sizeof numbers, "%010zu", end);
  entry.replace(entry.find("EndFragment:") + 12, 10, numbers);
  EXPECT_EQ(ClipboardHtmlFragment(entry), L"<img src=\"data:x\">老");
  EXPECT_EQ(ClipboardHtmlFragment("no header"), L"");
  EXPECT_EQ(ClipboardHtmlFragment("StartFragment:50\r\nEndFragment:10\r\n"), L"");
}

TEST(NavigationHistory, NewEntriesDropTheForwardOnes) {
  CNavigationHistory history;
  EXPECT_FALSE(history.CanGoBack());
  EXPECT_FALSE(history.CanGoForward());
  history.Commit(CNavigationHistory::Kind::New, L"a");
  history.Commit(CNavigationHistory::Kind::New, L"b");
  history.Commit(CNavigationHistory::Kind::New, L"c");
  EXPECT_TRUE(history.CanGoBack());
  EXPECT_EQ(history.BackUrl(), L"b");
  history.Commit(CNavigationHistory::Kind::Back, L"b");
  history.Commit(CNavigationHistory::Kind::Back, L"a");
  EXPECT_FALSE(history.CanGoBack());
  EXPECT_TRUE(history.CanGoForward());
  EXPECT_EQ(history.ForwardUrl(), L"b");
  history.Commit(CNavigationHistory::Kind::Reload, L"a");
  EXPECT_EQ(history.Size(), 3u);
  history.Commit(CNavigationHistory::Kind::New, L"d");
  EXPECT_EQ(history.Size(), 2u);
  EXPECT_FALSE(history.CanGoForward());
  EXPECT_EQ(history.CurrentUrl(), L"d");
  history.Commit(CNavigationHistory::Kind::New, L"d");
  EXPECT_EQ(history.Size(), 2u) << "the same page again replaces its entry";
}

}  // namespace
}  // namespace corvane

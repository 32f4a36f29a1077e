// The error page's address and the test for its own failure.
#include <gtest/gtest.h>

#include "client/browser/error_page_url.h"

namespace corvane {
namespace {

TEST(ErrorPageUrl, KeepsSpacesAndChineseLettersAndTurnsBackslashes) {
  EXPECT_EQ(BuildErrorPageUrl(L"C:\\Program Files\\Client"), L"file:///C:/Program Files/Client/error_page/Error.html");
  EXPECT_EQ(BuildErrorPageUrl(L"D:\\老师 客户端\\程序"), L"file:///D:/老师 客户端/程序/error_page/Error.html");
  EXPECT_EQ(BuildErrorPageUrl(L"/opt/老师 客户端"), L"file:///opt/老师 客户端/error_page/Error.html");
}

TEST(ErrorPageUrl, RecognisesItselfEscapedOrInAnotherCase) {
  const std::wstring page = BuildErrorPageUrl(L"D:\\老师 客户端");
  EXPECT_TRUE(IsErrorPageUrl(page, page));
  EXPECT_TRUE(IsErrorPageUrl(L"file:///D:/%E8%80%81%E5%B8%88%20%E5%AE%A2%E6%88%B7%E7%AB%AF/error_page/Error.html", page));
  EXPECT_TRUE(IsErrorPageUrl(L"FILE:///d:/老师 客户端/ERROR_PAGE/error.html", page));
  EXPECT_TRUE(IsErrorPageUrl(L"file:///D:\\老师 客户端\\error_page\\Error.html", page));
  EXPECT_FALSE(IsErrorPageUrl(L"http://127.0.0.1:8765/", page));
  EXPECT_FALSE(IsErrorPageUrl(L"file:///D:/老师 客户端/error_page/Other.html", page));
  EXPECT_FALSE(IsErrorPageUrl(L"", page));
}

TEST(ErrorPageUrl, PercentDecodingLeavesMalformedEscapes) {
  EXPECT_EQ(PercentDecodeUtf8(L"a%20b%2"), L"a b%2");
  EXPECT_EQ(PercentDecodeUtf8(L"%zz%41"), L"%zzA");
  EXPECT_EQ(PercentDecodeUtf8(L"%E8%80"), L"\uFFFD\uFFFD");
}

}  // namespace
}  // namespace corvane

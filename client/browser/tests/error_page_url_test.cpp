// The error page's address, the test for its own failure, and the way back it carries.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "client/browser/cef_types.h"
#include "client/browser/error_page_return.h"
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

TEST(ErrorPageReturn, TheFragmentCarriesTheFailedAddressAndTheHomeInForce) {
  const std::wstring page = BuildErrorPageUrl(L"D:\\老师 客户端");
  const std::wstring failed = L"http://h:81/作业?id=1&next=/a#part";
  const std::wstring url = ErrorPageUrlFor(page, failed, L"http://10.0.0.5:8080/");
  EXPECT_EQ(url, page + L"#failed=http%3A%2F%2Fh%3A81%2F%E4%BD%9C%E4%B8%9A%3Fid%3D1%26next%3D%2Fa%23part"
                        L"&home=http%3A%2F%2F10.0.0.5%3A8080%2F");
  EXPECT_TRUE(IsErrorPageUrl(url, page));
  EXPECT_EQ(FailedUrlOf(url), failed);
  // As the engine reports it: the folder escaped, the fragment as given.
  const std::wstring reported = L"file:///D:/%E8%80%81%E5%B8%88%20%E5%AE%A2%E6%88%B7%E7%AB%AF/error_page/Error.html";
  EXPECT_TRUE(IsErrorPageUrl(reported + url.substr(url.find(L'#')), page));
  EXPECT_EQ(FailedUrlOf(reported + url.substr(url.find(L'#'))), failed);
  // A '#' in the program's folder is the folder's.
  const std::wstring hashFolder = BuildErrorPageUrl(L"C:\\C# 老师");
  EXPECT_TRUE(IsErrorPageUrl(ErrorPageUrlFor(hashFolder, failed, L"http://h/"), hashFolder));
  EXPECT_EQ(FailedUrlOf(ErrorPageUrlFor(hashFolder, failed, L"http://h/")), failed);
  EXPECT_FALSE(IsErrorPageUrl(L"file:///D:/老师 客户端/error_page/Error.html.bak#failed=x", page));
  // The page never leads to a script or a file, and without a fragment to nothing.
  EXPECT_EQ(ErrorPageUrlFor(page, L"javascript:alert(1)", L"http://h/"), page + L"#home=http%3A%2F%2Fh%2F");
  EXPECT_EQ(FailedUrlOf(page + L"#failed=javascript%3Aalert(1)"), L"");
  EXPECT_EQ(FailedUrlOf(page + L"#failed=file%3A%2F%2F%2Fetc%2Fpasswd"), L"");
  EXPECT_EQ(FailedUrlOf(page + L"#home=http%3A%2F%2Fh%2F"), L"");
  EXPECT_EQ(FailedUrlOf(page), L"");
}

TEST(ErrorPageReturn, OnlyGetsThatFailedOnTheNetworkAreTriedAgainWithABoundedBackOff) {
  for (int code : {ERR_CONNECTION_REFUSED, ERR_NAME_NOT_RESOLVED, ERR_INTERNET_DISCONNECTED, ERR_TIMED_OUT,
                   ERR_CONNECTION_RESET, ERR_ADDRESS_UNREACHABLE}) {
    EXPECT_TRUE(RetriesByItself("GET", false, code)) << code;
    EXPECT_TRUE(RetriesByItself("", false, code)) << code;
    EXPECT_FALSE(RetriesByItself("POST", false, code)) << code;
    EXPECT_FALSE(RetriesByItself("GET", true, code)) << "a form, sent by GET: " << code;
  }
  for (int code : {ERR_FAILED, ERR_ABORTED, ERR_FILE_NOT_FOUND, ERR_CERT_INVALID, ERR_UNKNOWN_URL_SCHEME}) {
    EXPECT_FALSE(RetriesByItself("GET", false, code)) << code;
  }
  std::vector<int> delays;
  for (int attempt = -1; attempt < 9; ++attempt) delays.push_back(RetryDelaySeconds(attempt));
  EXPECT_EQ(delays, (std::vector<int>{2, 2, 4, 8, 16, 32, 60, 60, 60, 60}));
  EXPECT_EQ(RetryDelaySeconds(INT_MAX), 60);
}

}  // namespace
}  // namespace corvane

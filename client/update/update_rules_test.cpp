// Update decisions: the daily rule, the request body, the answer's exact types, installer order.
#include "client/update/update_rules.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(UpdateCheckDue, OnceAWholeDayHasPassed) {
  const int64_t last = 1700000000;
  EXPECT_TRUE(IsUpdateCheckDue(last, 0)) << "never checked";
  EXPECT_FALSE(IsUpdateCheckDue(last + 23 * 3600, static_cast<uint32_t>(last)));
  EXPECT_FALSE(IsUpdateCheckDue(last + kSecondsPerDay - 1, static_cast<uint32_t>(last)));
  EXPECT_TRUE(IsUpdateCheckDue(last + kSecondsPerDay, static_cast<uint32_t>(last)));
  EXPECT_FALSE(IsUpdateCheckDue(last - 5 * kSecondsPerDay, static_cast<uint32_t>(last))) << "clock set back";
  EXPECT_FALSE(IsUpdateCheckDue(last - kSecondsPerDay + 1, static_cast<uint32_t>(last)))
      << "truncation toward zero: minus most of a day is day 0";
}

TEST(UpdateRequestBody, ProductAndInstalledVersionWithLineFeed) {
  EXPECT_EQ(BuildUpdateRequestBody(kWindowsUpdateProduct, FormatFileVersion(MakeFileVersion(0x00010002u, 0x0000000Fu))),
            "{\"product_name\":\"DrovessaClient\",\"version\":\"1.2.0.15\"}\n");
  EXPECT_EQ(BuildUpdateRequestBody(kLinuxUpdateProduct, "1.2.0.0"),
            "{\"product_name\":\"DrovessaClientLinux\",\"version\":\"1.2.0.0\"}\n");
}

TEST(UpdateFileName, LastPathSegmentOnlyAndNeverAFolder) {
  struct Case {
    const char* url;
    const char* name;
  } cases[] = {
      {"http://h/download/corvane-client_1.3.0.0_amd64.deb", "corvane-client_1.3.0.0_amd64.deb"},
      {"http://h/d/x.deb?v=2#top", "x.deb"},
      {"http://h/a/../../x.deb?y=/../../etc/z", "x.deb"},
      {"http://h/%2e%2e%2fpasswd", "_2e_2e_2fpasswd"},
      {"http://h/dl/..", "update.."},
      {"http://h/dl/.hidden", "update.hidden"},
      {"http://h/", "update"},
      {"http://h", "update"},
      {"http://h/\x5c..\x5cx b\xe4.deb", "_.._x_b_.deb"},
  };
  for (const Case& c : cases) EXPECT_EQ(UpdateFileNameFromUrl(c.url), c.name) << c.url;
}

TEST(UpdateDocument, TakesMembersOfTheirExactTypes) {
  const UpdateInfo offer =
      ParseUpdateDocument(R"({"product_name":"DrovessaClient","type":1,"force":true,"url":"http://h/Setup.exe"})");
  EXPECT_EQ(offer.product_name, "DrovessaClient");
  EXPECT_EQ(offer.type, 1);
  EXPECT_TRUE(offer.force);
  EXPECT_EQ(offer.url, "http://h/Setup.exe");
  EXPECT_TRUE(offer.version.empty());

  EXPECT_EQ(ParseUpdateDocument(R"({"type":2})").type, 2);
  EXPECT_EQ(ParseUpdateDocument(R"({"type":-7})").type, -7);
}

TEST(UpdateDocument, WrongTypesAndBadDocumentsKeepDefaults) {
  for (const char* body : {R"({"type":"1"})", R"({"type":1.5})", R"({"type":1.0})", R"({"type":true})",
                           R"({"type":4294967297})", R"({"type":-3000000000})", R"({"type":null})", "{}", "",
                           "not json", R"({"type":1)", "[1]", "5", R"("type")"}) {
    const UpdateInfo info = ParseUpdateDocument(body);
    EXPECT_EQ(info.type, 0) << body;
    EXPECT_TRUE(info.url.empty()) << body;
  }
  const UpdateInfo mixed = ParseUpdateDocument(R"({"type":1,"url":7,"force":"yes","product_name":["x"]})");
  EXPECT_EQ(mixed.type, 0) << "an offer without a url is none";
  EXPECT_TRUE(mixed.url.empty());
  EXPECT_FALSE(mixed.force);
  EXPECT_TRUE(mixed.product_name.empty());
}

TEST(UpdateDocument, AnOfferNeedsAnHttpOrHttpsUrl) {
  for (const char* url : {"http://h/Setup.exe", "HTTPS://h:8443/a.deb?x=1", "http://h/"}) {
    EXPECT_TRUE(IsUpdateUrl(url)) << url;
    const UpdateInfo offer = ParseUpdateDocument(std::string(R"({"type":1,"url":")") + url + "\"}");
    EXPECT_EQ(offer.type, 1) << url;
    EXPECT_EQ(offer.url, url);
  }
  for (const char* url : {"", "file:///etc/passwd", "ftp://h/Setup.exe", "http:/h/x", "http://", "http:///x",
                          "http://h", "http://h?x=/y", "http://h/a b", "http://h/\r\nX: y", "javascript:alert(1)",
                          "Setup.exe"}) {
    EXPECT_FALSE(IsUpdateUrl(url)) << url;
    const UpdateInfo refused = ParseUpdateDocument(std::string(R"({"type":1,"url":")") + url + "\"}");
    EXPECT_EQ(refused.type, 0) << url;
    EXPECT_TRUE(refused.url.empty()) << url;
  }
}

TEST(NewerInstaller, OnlyTheMostSignificantWordOrders) {
  const FileVersion installed = MakeFileVersion(0x00010002u, 0x00000005u);  // 1.2.0.5
  EXPECT_TRUE(IsNewerInstaller(MakeFileVersion(0x00010003u, 0x00000000u), installed));   // 1.3.0.0
  EXPECT_FALSE(IsNewerInstaller(MakeFileVersion(0x00010002u, 0x00000006u), installed));  // 1.2.0.6
  EXPECT_FALSE(IsNewerInstaller(installed, installed));
  EXPECT_FALSE(IsNewerInstaller(MakeFileVersion(0x00010001u, 0x00090000u), installed));
  EXPECT_FALSE(IsNewerInstaller(FileVersion(), installed)) << "no installer file reads as zeros";
  EXPECT_TRUE(IsNewerInstaller(MakeFileVersion(0x00010002u, 0), FileVersion())) << "nothing installed";
  EXPECT_TRUE(IsNewerInstaller(MakeFileVersion(0x80000000u, 0), MakeFileVersion(0x7FFFFFFFu, 0))) << "unsigned";
}

}  // namespace
}  // namespace corvane

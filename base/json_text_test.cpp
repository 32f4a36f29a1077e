// WriteCompactJson: FastWriter's layout for ASCII, raw bytes for the ANSI code page's letters.
#include "base/json_text.h"

#include <gtest/gtest.h>
#include <json/writer.h>

namespace corvane {
namespace {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
std::string FastWriterText(const Json::Value& v) {
  Json::FastWriter writer;
  return writer.write(v);
}
#pragma GCC diagnostic pop

TEST(CompactJson, MatchesFastWriterForAsciiMembersInKeyOrder) {
  Json::Value v(Json::objectValue);
  v["version"] = "1.2.0.15";
  v["product_name"] = "DrovessaClient";
  v["quote"] = "a\"b\\c\n\x01";
  EXPECT_EQ(WriteCompactJson(v), FastWriterText(v));
  EXPECT_EQ(WriteCompactJson(v),
            "{\"product_name\":\"DrovessaClient\",\"quote\":\"a\\\"b\\\\c\\n\\u0001\",\"version\":\"1.2.0.15\"}\n");
}

TEST(CompactJson, PassesBytesAbove0x7FUnchanged) {
  Json::Value v(Json::objectValue);
  const std::string gbk = "\xCE\xB4\xD6\xAA\xB0\xE6\xB1\xBE";  // 未知版本 in code page 936
  v["system_version"] = gbk + " 64 bits";
  EXPECT_EQ(WriteCompactJson(v), "{\"system_version\":\"" + gbk + " 64 bits\"}\n");
}

}  // namespace
}  // namespace corvane

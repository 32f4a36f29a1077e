// WriteCompactJson through jsoncpp's stream writer, configured to FastWriter's layout.
#include "base/json_text.h"

#include <json/writer.h>

namespace corvane {

std::string WriteCompactJson(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  builder["commentStyle"] = "None";
  builder["emitUTF8"] = true;  // raw bytes, see the header
  return Json::writeString(builder, value) + "\n";
}

}  // namespace corvane

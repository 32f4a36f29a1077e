// Update decisions and the two JSON documents of the update check.
#include "client/update/update_rules.h"

#include <json/reader.h>
#include <json/value.h>

#include "base/json_text.h"

namespace corvane {

bool IsUpdateCheckDue(int64_t now, uint32_t lastCheck) {
  const int64_t days = (now - static_cast<int64_t>(lastCheck)) / kSecondsPerDay;  // truncates toward zero
  return days >= 1;
}

std::string BuildUpdateRequestBody(const FileVersion& installed) {
  Json::Value request(Json::objectValue);
  request["product_name"] = "DrovessaClient";
  request["version"] = FormatFileVersion(installed);
  return WriteCompactJson(request);
}

UpdateInfo ParseUpdateDocument(const std::string& body) {
  UpdateInfo info;
  Json::Value root;
  Json::Reader reader;
  if (!reader.parse(body, root, false)) return info;
  // jsoncpp's member lookup throws on anything but an object; an array or a bare number from
  // the service must not end the client.
  if (!root.isObject()) return info;
  const Json::Value productName = root.get("product_name", Json::Value());
  if (productName.type() == Json::stringValue) info.product_name = productName.asString();
  const Json::Value type = root.get("type", Json::Value());
  // intValue also holds 64-bit numbers; asInt() throws on those.
  if (type.type() == Json::intValue && type.isInt()) info.type = type.asInt();
  const Json::Value force = root.get("force", Json::Value());
  if (force.type() == Json::booleanValue) info.force = force.asBool();
  const Json::Value url = root.get("url", Json::Value());
  if (url.type() == Json::stringValue) info.url = url.asString();
  return info;
}

bool IsNewerInstaller(const FileVersion& installer, const FileVersion& installed) {
  if (installer.ms == installed.ms && installer.ls == installed.ls) return false;
  return installer.ms > installed.ms;
}

}  // namespace corvane

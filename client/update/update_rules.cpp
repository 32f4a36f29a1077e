// Update decisions and the two JSON documents of the update check.
#include "client/update/update_rules.h"

#include <json/reader.h>
#include <json/value.h>

#include <algorithm>

#include "base/json_text.h"

namespace corvane {

bool IsUpdateCheckDue(int64_t now, uint32_t lastCheck) {
  const int64_t days = (now - static_cast<int64_t>(lastCheck)) / kSecondsPerDay;  // truncates toward zero
  return days >= 1;
}

std::string BuildUpdateRequestBody(const std::string& productName, const std::string& version) {
  Json::Value request(Json::objectValue);
  request["product_name"] = productName;
  request["version"] = version;
  return WriteCompactJson(request);
}

std::string UpdateFileNameFromUrl(const std::string& url) {
  std::string path = url.substr(0, url.find_first_of("?#"));
  const size_t scheme = path.find("://");
  if (scheme != std::string::npos) {
    const size_t slash = path.find('/', scheme + 3);
    path = slash == std::string::npos ? std::string() : path.substr(slash);
  }
  std::string name = path.substr(path.find_last_of('/') + 1);  // npos + 1 == 0: all of it
  for (char& c : name) {
    const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                      c == '-' || c == '_' || c == '+';
    if (!kept) c = '_';
  }
  // No hidden file, and nothing the file system reads as a folder.
  if (name.empty() || name.front() == '.') name = "update" + name;
  return name;
}

bool IsUpdateUrl(const std::string& url) {
  const bool plain = std::none_of(url.begin(), url.end(), [](char c) {
    return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F;
  });
  const size_t colon = url.find("://");
  if (!plain || colon == std::string::npos) return false;
  std::string scheme = url.substr(0, colon);
  for (char& c : scheme) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  // A host, then a path: the signature's address is the path's, with ".sig" added.
  const size_t host = colon + 3;
  const size_t path = url.find_first_of("/?#", host);
  return (scheme == "http" || scheme == "https") && path != std::string::npos && path > host && url[path] == '/';
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
  if (url.type() == Json::stringValue && IsUpdateUrl(url.asString())) info.url = url.asString();
  if (info.type == 1 && info.url.empty()) info.type = 0;
  return info;
}

bool IsNewerInstaller(const FileVersion& installer, const FileVersion& installed) {
  if (installer.ms == installed.ms && installer.ls == installed.ls) return false;
  return installer.ms > installed.ms;
}

}  // namespace corvane

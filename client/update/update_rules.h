// The self-update's decisions and formats, free of any platform: when to ask the service, what
// to tell it, how to read its answer, and when a downloaded installer is worth starting.
#pragma once

#include <cstdint>
#include <string>

#include "base/file_version.h"

namespace corvane {

// The service's answer, as far as the client takes it.
struct UpdateInfo {
  std::string product_name;
  std::string version;  // never filled from the answer
  int32_t type = 0;     // 1: an update is offered
  bool force = false;
  std::string url;  // the installer's address
};

constexpr int64_t kSecondsPerDay = 86400;

// At least one whole day since `lastCheck` (seconds since 1970, low 32 bits as stored). A clock
// set back gives a negative day count: no check.
bool IsUpdateCheckDue(int64_t now, uint32_t lastCheck);

// The product names the service tells the editions apart by: the Windows client, and the Linux
// edition (offered its Debian package).
inline constexpr char kWindowsUpdateProduct[] = "DrovessaClient";
inline constexpr char kLinuxUpdateProduct[] = "DrovessaClientLinux";

// {"product_name":"DrovessaClient","version":"1.2.0.15"} followed by a line feed.
std::string BuildUpdateRequestBody(const std::string& productName, const std::string& version);

// The name an update's download is kept under: the last segment of the URL's path (no query or
// fragment), with every byte but ASCII letters, digits, '.', '-', '_' and '+' made '_', and never
// "", "." or ".." or a leading '.' (those become "update"-prefixed). A server never chooses a
// folder: "http://h/a/../../x.deb?y" gives "x.deb", "http://h/" gives "update".
std::string UpdateFileNameFromUrl(const std::string& url);

// An address an update may be fetched from: "http://" or "https://" (the scheme in any letter
// case), a host part, a path ("/..."), and no space or control byte anywhere.
bool IsUpdateUrl(const std::string& url);

// Reads the answer. Each member counts only with its exact JSON type ("type" an integer that
// fits in 32 bits, "force" a boolean, the others strings); anything else, invalid JSON, or a
// document that is not an object leaves the defaults. The answer comes over plain http, so
// "url" counts only when IsUpdateUrl, and an offer (type 1) without such a url is no offer
// (type 0).
UpdateInfo ParseUpdateDocument(const std::string& body);

// Newer exactly when the installer's most significant version word is greater, as unsigned
// 32-bit values; build and revision take no part.
bool IsNewerInstaller(const FileVersion& installer, const FileVersion& installed);

}  // namespace corvane

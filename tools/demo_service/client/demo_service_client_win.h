// For tests under Wine: finds the demo service its fixture started, points the program's
// service host at it, sets its update answer and reads what it received.
#pragma once

#include <json/value.h>

#include <string>

namespace corvane {
namespace demo {

// Reads demo_service.state in the working directory (its port and control token) and sets
// CORVANE_SERVICE_HOST to "127.0.0.1:<port>"; the port, or 0 when there is no state file.
int UseDemoService();

// Answer `document` with `status` to "/update/Version.aspx" from now on; `cut` declares ten
// bytes more than it sends.
bool SetUpdateAnswer(const std::string& document, int status = 200, bool cut = false);

// Serve the file at `windowsPath` as /download/Setup.exe from now on; the fixture must have
// named it at the service's start (corvane_demo_service_fixture's INSTALLERS).
bool SetInstaller(const std::wstring& windowsPath);

// Serve the installer's signature as `variant` from now on: "valid", or one of the broken
// kinds the service lists (missing, other-file, other-key, truncated, ...).
bool SetSignatureVariant(const std::string& variant);

// Forgets what was received.
bool ClearRecords();

// {"version": [...], "remove": [...], "requests": [...]}; each entry has "verb", "path",
// "headers" and "body" (the body's bytes as Latin-1 text).
Json::Value Records();

// The body's bytes of a recorded entry.
std::string BodyBytes(const Json::Value& entry);

}  // namespace demo
}  // namespace corvane

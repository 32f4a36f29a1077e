// The update request and its answer, the same on both hosts: the request to the service's
// "/update/Version.aspx", the answer kept in g_updateInfo, UpdateAvailable to the main window
// when an update is offered. When to ask and what to send are each host's (update_check_*).
#pragma once

#include <string>

#include "client/update/update_rules.h"

namespace corvane {

// The last accepted answer of the service.
extern UpdateInfo g_updateInfo;

// Sends `body` (BuildUpdateRequestBody's text) to the service; a complete reply goes to
// AcceptUpdateReply, anything else is dropped.
void SendUpdateRequest(const std::string& body);

// Takes the body of a complete reply: replaces g_updateInfo and posts UpdateAvailable for type 1.
void AcceptUpdateReply(const std::string& body);

}  // namespace corvane

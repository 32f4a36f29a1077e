// SendUpdateRequest and AcceptUpdateReply over the HTTP engine and the main-window channel.
#include "client/update/update_reply.h"

#include "base/ansi.h"
#include "base/service_host.h"
#include "client/main_window_channel.h"
#include "http/http_manager.h"

namespace corvane {

UpdateInfo g_updateInfo;

void AcceptUpdateReply(const std::string& body) {
  g_updateInfo = ParseUpdateDocument(body);
  if (g_updateInfo.type == 1) PostToMainWindow(MainCommand::UpdateAvailable);
}

void SendUpdateRequest(const std::string& body) {
  g_httpManager.GetWithBody(
      ServiceUrl(L"/update/Version.aspx"),
      [](FCHttpRequest& task) {
        if (IsResponseComplete(task)) AcceptUpdateReply(task.PopReceivedData());
      },
      AnsiToWide(body));
}

}  // namespace corvane

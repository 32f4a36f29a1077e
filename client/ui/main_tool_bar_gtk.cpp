// CMainToolBar's click routing (GTK).
#include "client/ui/main_tool_bar_gtk.h"

#include "client/ui/main_tool_bar_routes.h"

namespace corvane {

void CMainToolBar::OnClick(TNotifyUI& msg) { PostRoutedCommand(msg.pSender->GetName(), kToolBarRoutes); }

}  // namespace corvane

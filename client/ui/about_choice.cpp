// The about box or the update offer.
#include "client/ui/about_choice.h"

namespace corvane {

AboutChoice ChooseAbout(bool updateAvailable, bool installerReady) {
  if (!updateAvailable && !installerReady) return AboutChoice{L"about_dlg.xml", false};
  return AboutChoice{L"update_prompt_dlg.xml", installerReady};
}

}  // namespace corvane

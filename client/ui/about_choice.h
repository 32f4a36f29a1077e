// What the menu's "about" opens: the plain about box while no update is pending and no newer
// installer is downloaded, else the update offer (install mode when the installer is ready).
#pragma once

namespace corvane {

struct AboutChoice {
  const wchar_t* layout;  // "about_dlg.xml" or "update_prompt_dlg.xml"
  bool installMode;       // the offer installs the downloaded installer instead of downloading
};

AboutChoice ChooseAbout(bool updateAvailable, bool installerReady);

}  // namespace corvane

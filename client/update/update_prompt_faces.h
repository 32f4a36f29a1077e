// The update offer's faces, the same on both hosts. Install mode: the main button shows the
// three "install the new version" images (skipped when the layout lacks the button). After a
// download that did not verify: one line says so, and the main button is hidden. On Linux the
// prompt also shows, the same way, why a package was refused, that the install runs and how it
// ended.
#pragma once

#include <string>

#include "skin/ui_manager.h"

namespace corvane {

void ShowInstallFaces(CUiManager& ui);
void ShowUnverifiedFaces(CUiManager& ui);
// `line` in place of the update's details, and no main button.
void ShowLineFaces(CUiManager& ui, const std::wstring& line);

}  // namespace corvane

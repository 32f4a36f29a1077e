// The update offer's faces, the same on both hosts. Install mode: the main button shows the
// three "install the new version" images (skipped when the layout lacks the button). After a
// download that did not verify: one line says so, and the main button is hidden.
#pragma once

#include "skin/ui_manager.h"

namespace corvane {

void ShowInstallFaces(CUiManager& ui);
void ShowUnverifiedFaces(CUiManager& ui);

}  // namespace corvane

// The update offer's install mode, the same on both hosts: the main button shows the three
// "install the new version" images (skipped when the layout lacks the button).
#pragma once

#include "skin/ui_manager.h"

namespace corvane {

void ShowInstallFaces(CUiManager& ui);

}  // namespace corvane

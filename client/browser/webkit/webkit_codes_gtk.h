// WebKitGTK's and GDK's codes in the runtime contract's terms: a failed load's GError as the
// runtime's error code, a GDK key value as a Windows virtual-key code, a GDK modifier state as
// the contract's event flags. Pure mappings: no display, no view.
#pragma once

#include <webkit2/webkit2.h>

#include <cstdint>

#include "client/browser/cef_types.h"

namespace corvane {

// The runtime's error code for a failed load of WebKit's.
cef_errorcode_t WebKitLoadErrorCode(const GError* error);

// The Windows virtual-key code of a GDK key value (0 when it has none), and the contract's
// modifier flags of a GDK modifier state, lock states included.
int WindowsKeyCode(guint keyval);
uint32_t KeyEventFlags(guint state);

}  // namespace corvane

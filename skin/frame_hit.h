// Where a point of a borderless skinned window lies in its frame: a resize border or corner
// (the layout's `sizebox`), the caption band (the window drags), or the client area. Both hosts
// ask this and translate the answer (HTLEFT, GDK_WINDOW_EDGE_WEST, ...).
#pragma once

#include "skin/ui_scale.h"
#include "skin/ui_types.h"

namespace corvane {

class CUiManager;

enum class UiFrameHit {
  Client, Caption, Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight,
};

// The resize border at device point `p` of a client area of `client` device pixels, with the
// logical border widths `sizeBox`; Client when the point is on none.
UiFrameHit HitTestResizeBorder(UiPoint p, UiSize client, const UiRect& sizeBox, const UiScale& scale);

struct UiFrameState {
  bool child = false;      // a child window has no frame of its own
  bool resizable = false;  // the window has a sizing frame
  bool maximised = false;  // a maximised window is not resized by its borders
};

// The whole test: borders of a resizable top-level window first, then the manager's caption band.
UiFrameHit HitTestFrame(CUiManager& ui, UiPoint p, UiSize client, const UiScale& scale, UiFrameState state);

}  // namespace corvane

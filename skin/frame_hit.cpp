// The frame hit test: borders in device pixels (so a border is never thinner than its scaled
// width), the caption in logical ones.
#include "skin/frame_hit.h"

#include "skin/ui_manager.h"

namespace corvane {

UiFrameHit HitTestResizeBorder(UiPoint p, UiSize client, const UiRect& box, const UiScale& scale) {
  const float s = scale.Factor();
  const bool left = p.x < box.left * s;
  const bool right = p.x >= client.cx - box.right * s;
  const bool top = p.y < box.top * s;
  const bool bottom = p.y >= client.cy - box.bottom * s;
  if (top && left) return UiFrameHit::TopLeft;
  if (top && right) return UiFrameHit::TopRight;
  if (bottom && left) return UiFrameHit::BottomLeft;
  if (bottom && right) return UiFrameHit::BottomRight;
  if (left) return UiFrameHit::Left;
  if (right) return UiFrameHit::Right;
  if (top) return UiFrameHit::Top;
  if (bottom) return UiFrameHit::Bottom;
  return UiFrameHit::Client;
}

UiFrameHit HitTestFrame(CUiManager& ui, UiPoint p, UiSize client, const UiScale& scale, UiFrameState state) {
  if (state.child) return UiFrameHit::Client;
  if (state.resizable && !state.maximised) {
    const UiFrameHit border = HitTestResizeBorder(p, client, ui.GetWindowAttributes().sizeBox, scale);
    if (border != UiFrameHit::Client) return border;
  }
  return ui.IsCaptionAt(scale.ToLogical(p)) ? UiFrameHit::Caption : UiFrameHit::Client;
}

}  // namespace corvane

// The skinned window's defaults on GTK: building from the skin, the borderless frame's drag,
// resize and double click, size limits, the caption boxes and the routing of clicks.
#include "skin/window_impl_base_gtk.h"

#include "base/utf8.h"
#include "skin/frame_hit.h"

namespace corvane {
namespace {

bool EdgeOf(UiFrameHit hit, GdkWindowEdge& edge) {
  switch (hit) {
    case UiFrameHit::Left: edge = GDK_WINDOW_EDGE_WEST; return true;
    case UiFrameHit::Right: edge = GDK_WINDOW_EDGE_EAST; return true;
    case UiFrameHit::Top: edge = GDK_WINDOW_EDGE_NORTH; return true;
    case UiFrameHit::Bottom: edge = GDK_WINDOW_EDGE_SOUTH; return true;
    case UiFrameHit::TopLeft: edge = GDK_WINDOW_EDGE_NORTH_WEST; return true;
    case UiFrameHit::TopRight: edge = GDK_WINDOW_EDGE_NORTH_EAST; return true;
    case UiFrameHit::BottomLeft: edge = GDK_WINDOW_EDGE_SOUTH_WEST; return true;
    case UiFrameHit::BottomRight: edge = GDK_WINDOW_EDGE_SOUTH_EAST; return true;
    default: return false;
  }
}

}  // namespace

WindowImplBase::~WindowImplBase() { m_PaintManager.RemoveNotifier(this); }

void WindowImplBase::OnCreate() {
  m_PaintManager.Init(m_hWnd);
  m_PaintManager.AddNotifier(this);
  m_PaintManager.LoadLayout(OpenSkin(GetResourceType(), CPaintManagerUI::GetInstancePath(), GetZIPFileName().str(),
                                     GetSkinFolder().str()),
                            GetSkinFile().str(), this);
  m_accessible = std::make_unique<CAccessibleGtk>(m_hWnd, m_PaintManager);
  gtk_widget_set_has_tooltip(m_hWnd, TRUE);
  g_signal_connect(m_hWnd, "query-tooltip", G_CALLBACK(&WindowImplBase::OnQueryTooltipThunk), this);
  if (IsChild()) {
    // The parent places a child: it takes the size it is given, not the layout's.
    int cx = 0, cy = 0;
    gtk_widget_get_size_request(m_hWnd, &cx, &cy);
    m_PaintManager.SetClientSize(UiSize{cx > 0 ? cx : 0, cy > 0 ? cy : 0});
    InitWindow();
    return;
  }
  // The layout's size replaces the one given to Create.
  const UiWindowAttributes& w = m_PaintManager.GetWindowAttributes();
  GtkWindow* window = GTK_WINDOW(m_hWnd);
  if (w.size.cx > 0 && w.size.cy > 0) {
    gtk_window_set_default_size(window, w.size.cx, w.size.cy);
    gtk_window_resize(window, w.size.cx, w.size.cy);
    m_PaintManager.SetClientSize(w.size);
  } else {
    int cx = 0, cy = 0;
    gtk_window_get_default_size(window, &cx, &cy);
    m_PaintManager.SetClientSize(UiSize{cx > 0 ? cx : 0, cy > 0 ? cy : 0});
  }
  GdkGeometry limits{};
  int hints = 0;
  if (w.minInfo.cx > 0 || w.minInfo.cy > 0) {
    limits.min_width = w.minInfo.cx;
    limits.min_height = w.minInfo.cy;
    hints |= GDK_HINT_MIN_SIZE;
  }
  if (w.maxInfo.cx > 0 && w.maxInfo.cy > 0) {
    limits.max_width = w.maxInfo.cx;
    limits.max_height = w.maxInfo.cy;
    hints |= GDK_HINT_MAX_SIZE;
  }
  if (hints) gtk_window_set_geometry_hints(window, nullptr, &limits, static_cast<GdkWindowHints>(hints));
  InitWindow();
}

void WindowImplBase::OnPaint(cairo_t* cr) { m_PaintManager.PaintTo(cr); }

bool WindowImplBase::OnCaptionDoubleClick() {
  if (!(m_style & UI_WS_MAXIMIZEBOX)) return false;
  GtkWindow* window = GTK_WINDOW(m_hWnd);
  if (gtk_window_is_maximized(window)) {
    gtk_window_unmaximize(window);
  } else {
    gtk_window_maximize(window);
  }
  return true;
}

bool WindowImplBase::HandleFrameEvent(GdkEvent* event) {
  if (IsChild()) return false;  // no frame: the parent's window manager frame moves it
  if (event->type == GDK_MOTION_NOTIFY && m_captionPress.pending) {
    // The caption drags once the pointer has moved beyond the drag threshold, as Windows' caption
    // does: a click or a double click there moves nothing.
    const GdkEventMotion& m = event->motion;
    if (gtk_drag_check_threshold(m_hWnd, m_captionPress.x, m_captionPress.y, static_cast<int>(m.x),
                                 static_cast<int>(m.y))) {
      m_captionPress.pending = false;
      gtk_window_begin_move_drag(GTK_WINDOW(m_hWnd), 1, static_cast<int>(m.x_root), static_cast<int>(m.y_root),
                                 m.time);
    }
    return true;
  }
  if (event->type == GDK_BUTTON_RELEASE && m_captionPress.pending) {
    m_captionPress.pending = false;
    return true;
  }
  if (event->type != GDK_BUTTON_PRESS && event->type != GDK_2BUTTON_PRESS) return false;
  const GdkEventButton& b = event->button;
  if (b.button != 1) return false;
  UiFrameState state;
  state.resizable = (m_style & UI_WS_THICKFRAME) != 0;
  state.maximised = gtk_window_is_maximized(GTK_WINDOW(m_hWnd)) != FALSE;
  const UiSize client{gtk_widget_get_allocated_width(m_hWnd), gtk_widget_get_allocated_height(m_hWnd)};
  const UiFrameHit hit = HitTestFrame(m_PaintManager, UiPoint{static_cast<int>(b.x), static_cast<int>(b.y)}, client,
                                      m_PaintManager.GetScale(), state);
  if (hit == UiFrameHit::Client) return false;
  if (event->type == GDK_2BUTTON_PRESS) {
    m_captionPress.pending = false;
    return hit == UiFrameHit::Caption && OnCaptionDoubleClick();
  }
  GdkWindowEdge edge;
  if (EdgeOf(hit, edge)) {
    gtk_window_begin_resize_drag(GTK_WINDOW(m_hWnd), edge, b.button, static_cast<int>(b.x_root),
                                 static_cast<int>(b.y_root), b.time);
  } else {
    m_captionPress = CaptionPress{true, static_cast<int>(b.x), static_cast<int>(b.y)};
  }
  return true;
}

bool WindowImplBase::HandleEvent(GdkEvent* event) {
  if (CWindowWnd::HandleEvent(event)) return true;
  if (!m_hWnd) return true;
  const bool input = event->type == GDK_BUTTON_PRESS || event->type == GDK_2BUTTON_PRESS ||
                     event->type == GDK_BUTTON_RELEASE || event->type == GDK_KEY_PRESS ||
                     event->type == GDK_MOTION_NOTIFY;
  if (input && !gtk_widget_is_sensitive(m_hWnd)) return true;  // disabled while a modal window runs
  if (HandleFrameEvent(event)) return true;
  if (event->type == GDK_KEY_PRESS) {
    GtkWidget* window = m_hWnd;
    g_object_ref(window);  // the key may close the window; its widget stays valid for the check
    const unsigned keyval = event->key.keyval;
    bool used = m_PaintManager.HandleEvent(event);
    const bool destroyed = gtk_widget_in_destruction(window);
    g_object_unref(window);
    if (destroyed) return true;
    if (!used) used = ResponseDefaultKeyEvent(keyval);
    return used;
  }
  return m_PaintManager.HandleEvent(event);
}

bool WindowImplBase::ResponseDefaultKeyEvent(unsigned keyval) {
  if (keyval == GDK_KEY_Escape && !IsChild()) {  // Escape closes a top-level window only
    Close(kUiCancel);
    return true;
  }
  return false;
}

gboolean WindowImplBase::OnQueryTooltipThunk(GtkWidget*, gint x, gint y, gboolean keyboard, GtkTooltip* tooltip,
                                             gpointer data) {
  CPaintManagerUI& ui = static_cast<WindowImplBase*>(data)->m_PaintManager;
  CControlUI* control = keyboard ? ui.GetFocus() : AccessibleControlAt(ui, UiPoint{x, y});
  if (!control) return FALSE;
  const std::wstring text = ToolTipFor(*control);
  if (text.empty()) return FALSE;
  gtk_tooltip_set_text(tooltip, WideToUtf8(text).c_str());
  const UiRect& r = control->GetPos();
  const GdkRectangle area{r.left, r.top, r.Width(), r.Height()};
  gtk_tooltip_set_tip_area(tooltip, &area);  // asked again when the pointer leaves the control
  return TRUE;
}

void WindowImplBase::OnFinalMessage(GtkWidget* window) {
  m_accessible.reset();
  m_PaintManager.RemoveNotifier(this);
  m_PaintManager.Init(nullptr);
  CWindowWnd::OnFinalMessage(window);
}

void WindowImplBase::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyClick) OnClick(msg);
}

void WindowImplBase::OnClick(TNotifyUI& msg) {
  if (!msg.pSender || !m_hWnd) return;
  const CDuiString& name = msg.pSender->GetName();
  GtkWindow* window = GTK_WINDOW(m_hWnd);
  if (name == L"closebtn") {
    Close(kUiCancel);
  } else if (name == L"minbtn") {
    gtk_window_iconify(window);
  } else if (name == L"maxbtn") {
    gtk_window_maximize(window);
  } else if (name == L"restorebtn") {
    gtk_window_unmaximize(window);
  }
}

CControlUI* WindowImplBase::CreateControl(const wchar_t*) { return nullptr; }

}  // namespace corvane

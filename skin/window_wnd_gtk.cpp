// GtkWindow creation, the signal thunks that reach the object, closing and the modal run.
#include "skin/window_wnd_gtk.h"

#include <algorithm>

#include "base/utf8.h"
#include "skin/accessible_gtk.h"
#include "skin/paint_manager_gtk.h"

namespace corvane {
namespace {

// The modal run over GTK: the default main context; Close's value arrives through
// CloseRequested from the close step.
class CGtkModalHost : public IModalHost {
 public:
  explicit CGtkModalHost(GtkWidget* window) : m_window(window) {
    g_object_add_weak_pointer(G_OBJECT(m_window), reinterpret_cast<gpointer*>(&m_window));
    if (GtkWindow* owner = gtk_window_get_transient_for(GTK_WINDOW(window))) {
      m_owner = GTK_WIDGET(owner);
      g_object_add_weak_pointer(G_OBJECT(m_owner), reinterpret_cast<gpointer*>(&m_owner));
    }
  }
  ~CGtkModalHost() {
    if (m_window) g_object_remove_weak_pointer(G_OBJECT(m_window), reinterpret_cast<gpointer*>(&m_window));
    if (m_owner) g_object_remove_weak_pointer(G_OBJECT(m_owner), reinterpret_cast<gpointer*>(&m_owner));
  }
  void ShowWindow() override {
    gtk_window_set_modal(GTK_WINDOW(m_window), TRUE);
    gtk_window_present(GTK_WINDOW(m_window));
  }
  void SetOwnerEnabled(bool enabled) override {
    if (m_owner) gtk_widget_set_sensitive(m_owner, enabled);
  }
  void FocusOwner() override {
    if (m_owner && gtk_widget_get_visible(m_owner)) gtk_window_present(GTK_WINDOW(m_owner));
  }
  bool IsWindowAlive() const override { return m_window != nullptr; }
  bool DispatchOne(int& quitCode) override {
    if (CPaintManagerUI::TakeQuitRequest(quitCode)) return false;
    g_main_context_iteration(nullptr, TRUE);
    return !CPaintManagerUI::TakeQuitRequest(quitCode);
  }
  void RepostQuit(int quitCode) override { CPaintManagerUI::QuitMessageLoop(quitCode); }

 private:
  GtkWidget* m_window;
  GtkWidget* m_owner = nullptr;
};

}  // namespace

GtkWidget* CWindowWnd::Create(GtkWidget* parent, const wchar_t* name, uint32_t style, uint32_t /*exStyle*/, int x,
                              int y, int cx, int cy) {
  if (m_hWnd) return m_hWnd;
  m_style = style;
  if (style & UI_WS_CHILD) return CreateChild(parent, cx, cy);
  m_hWnd = NewSkinWindowWidget();
  GtkWindow* window = GTK_WINDOW(m_hWnd);
  gtk_window_set_decorated(window, FALSE);  // the skin draws the frame
  gtk_window_set_title(window, WideToUtf8(name ? name : L"").c_str());
  gtk_window_set_role(window, WideToUtf8(GetWindowClassName()).c_str());
  if (style & UI_WS_POPUP) {
    gtk_window_set_skip_taskbar_hint(window, TRUE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_POPUP_MENU);
  }
  if (parent) {
    if (GtkWidget* top = gtk_widget_get_toplevel(parent); GTK_IS_WINDOW(top)) gtk_window_set_transient_for(window, GTK_WINDOW(top));
  }
  if (cx != kUiUseDefault && cy != kUiUseDefault && cx > 0 && cy > 0) gtk_window_set_default_size(window, cx, cy);
  if (x != kUiUseDefault && y != kUiUseDefault) gtk_window_move(window, x, y);
  return FinishCreate();
}

GtkWidget* CWindowWnd::CreateChild(GtkWidget* parent, int cx, int cy) {
  // A drawing area has a GDK window of its own, so it receives pointer and key events and a
  // configure event on every new allocation, as a top level does.
  m_hWnd = NewSkinAreaWidget();
  if (cx != kUiUseDefault && cy != kUiUseDefault && cx > 0 && cy > 0) gtk_widget_set_size_request(m_hWnd, cx, cy);
  if (parent && GTK_IS_CONTAINER(parent)) gtk_container_add(GTK_CONTAINER(parent), m_hWnd);
  return FinishCreate();
}

GtkWidget* CWindowWnd::FinishCreate() {
  gtk_widget_set_app_paintable(m_hWnd, TRUE);
  gtk_widget_set_can_focus(m_hWnd, TRUE);
  gtk_widget_add_events(m_hWnd, GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                    GDK_KEY_PRESS_MASK | GDK_LEAVE_NOTIFY_MASK | GDK_FOCUS_CHANGE_MASK |
                                    GDK_STRUCTURE_MASK);
  g_signal_connect(m_hWnd, "event", G_CALLBACK(&CWindowWnd::OnEventThunk), this);
  g_signal_connect(m_hWnd, "draw", G_CALLBACK(&CWindowWnd::OnDrawThunk), this);
  g_signal_connect(m_hWnd, "destroy", G_CALLBACK(&CWindowWnd::OnDestroyThunk), this);
  OnCreate();
  if (m_hWnd && (m_style & UI_WS_VISIBLE)) gtk_widget_show(m_hWnd);
  return m_hWnd;
}

gboolean CWindowWnd::OnEventThunk(GtkWidget*, GdkEvent* event, gpointer self) {
  return static_cast<CWindowWnd*>(self)->HandleEvent(event) ? TRUE : FALSE;
}

gboolean CWindowWnd::OnDrawThunk(GtkWidget*, cairo_t* cr, gpointer self) {
  static_cast<CWindowWnd*>(self)->OnPaint(cr);
  return TRUE;
}

void CWindowWnd::OnDestroyThunk(GtkWidget* widget, gpointer data) {
  auto* self = static_cast<CWindowWnd*>(data);
  g_signal_handlers_disconnect_by_data(widget, self);
  if (self->m_closeSource) g_source_remove(self->m_closeSource);
  self->m_closeSource = 0;
  self->m_hWnd = nullptr;
  self->m_modalRun = nullptr;
  self->OnFinalMessage(widget);  // may delete the object: nothing of it is touched afterwards
}

bool CWindowWnd::HandleEvent(GdkEvent* event) {
  if (event->type == GDK_DELETE && !IsChild()) {
    // The window manager's close: as Close(kUiCancel), at once.
    m_closeValue = kUiCancel;
    OnCloseIdle(this);
    return true;
  }
  return false;
}

void CWindowWnd::OnFinalMessage(GtkWidget*) {}

CWindowWnd::~CWindowWnd() {
  if (m_closeSource) g_source_remove(m_closeSource);
  if (m_hWnd) {
    // The object goes first: the window must not call into it any more.
    GtkWidget* window = m_hWnd;
    g_signal_handlers_disconnect_by_data(window, this);
    m_hWnd = nullptr;
    gtk_widget_destroy(window);
  }
}

void CWindowWnd::Close(unsigned nRet) {
  if (!m_hWnd || m_closeSource) return;  // the first request decides, as the first WM_CLOSE does
  m_closeValue = nRet;
  m_closeSource = g_idle_add(&CWindowWnd::OnCloseIdle, this);
}

gboolean CWindowWnd::OnCloseIdle(gpointer data) {
  auto* self = static_cast<CWindowWnd*>(data);
  self->m_closeSource = 0;
  if (self->m_modalRun) {
    self->m_modalRun->CloseRequested(self->m_closeValue);
    self->m_modalRun->WindowClosing();
  }
  if (self->m_hWnd) gtk_widget_destroy(self->m_hWnd);  // may delete the object (OnFinalMessage)
  return G_SOURCE_REMOVE;
}

void CWindowWnd::CenterWindow() {
  if (!m_hWnd || IsChild()) return;
  GtkWindow* window = GTK_WINDOW(m_hWnd);
  int w = 0, h = 0;
  gtk_window_get_size(window, &w, &h);
  GdkDisplay* display = gtk_widget_get_display(m_hWnd);
  GtkWindow* owner = gtk_window_get_transient_for(window);
  GdkWindow* near = owner && gtk_widget_get_realized(GTK_WIDGET(owner)) ? gtk_widget_get_window(GTK_WIDGET(owner))
                                                                        : nullptr;
  GdkMonitor* monitor = near ? gdk_display_get_monitor_at_window(display, near) : gdk_display_get_primary_monitor(display);
  if (!monitor) monitor = gdk_display_get_monitor(display, 0);
  GdkRectangle work{0, 0, w, h};
  if (monitor) gdk_monitor_get_workarea(monitor, &work);
  GdkRectangle centre = work;
  if (owner && gtk_widget_get_visible(GTK_WIDGET(owner)) && !gtk_window_is_maximized(owner)) {
    gtk_window_get_position(owner, &centre.x, &centre.y);
    gtk_window_get_size(owner, &centre.width, &centre.height);
  }
  int x = centre.x + (centre.width - w) / 2;
  int y = centre.y + (centre.height - h) / 2;
  x = std::max(work.x, std::min(x, work.x + work.width - w));
  y = std::max(work.y, std::min(y, work.y + work.height - h));
  gtk_window_move(window, x, y);
}

unsigned CWindowWnd::ShowModal() {
  if (!m_hWnd || IsChild()) return kUiCancel;
  GtkWidget* window = m_hWnd;
  CModalRun run;
  unsigned result = kUiCancel;
  bool alive = true;
  {
    CGtkModalHost host(window);
    m_modalRun = &run;
    result = run.Run(host);
    alive = host.IsWindowAlive();
  }
  // A window that is gone may have taken its object with it (OnFinalMessage); one still alive
  // (a quit ended the run) keeps its object.
  if (alive) m_modalRun = nullptr;
  return result;
}

}  // namespace corvane

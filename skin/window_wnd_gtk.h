// CWindowWnd on GTK 3: one borderless top-level GtkWindow bound to a C++ object — creation,
// the modal run, centring and closing. Skinned windows derive from WindowImplBase, built on it.
// Windows are described with the same style bits as on Windows, so a window's definition is
// the same on both hosts.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>

#include "skin/modal_run.h"

namespace corvane {

// The style bits the toolkit acts on (values as Windows gives them).
enum : uint32_t {
  UI_WS_POPUP = 0x80000000u,
  UI_WS_CHILD = 0x40000000u,
  UI_WS_VISIBLE = 0x10000000u,
  UI_WS_THICKFRAME = 0x00040000u,
  UI_WS_MAXIMIZEBOX = 0x00010000u,
  UI_WS_OVERLAPPEDWINDOW = 0x00CF0000u,
};
inline constexpr int kUiUseDefault = static_cast<int>(0x80000000u);  // CW_USEDEFAULT
inline constexpr unsigned kUiOk = 1;                                 // IDOK
inline constexpr unsigned kUiCancel = CModalRun::kCancel;            // IDCANCEL

class CWindowWnd {
 public:
  CWindowWnd() = default;
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  GtkWidget* GetHWND() const { return m_hWnd; }
  operator GtkWidget*() const { return m_hWnd; }
  uint32_t GetStyle() const { return m_style; }
  // A child widget rather than a top-level window.
  bool IsChild() const { return (m_style & UI_WS_CHILD) != 0; }

  // Creates the window (transient for `parent`'s top level when given); OnCreate builds the
  // skinned content. With UI_WS_CHILD it is a child widget instead, added to `parent` when that
  // is a container (which then places it: a size given here is only its requested size).
  GtkWidget* Create(GtkWidget* parent, const wchar_t* name, uint32_t style, uint32_t exStyle, int x = kUiUseDefault,
                    int y = kUiUseDefault, int cx = kUiUseDefault, int cy = kUiUseDefault);
  // Centres on the owner when it is shown, else on the monitor's work area, kept inside it.
  void CenterWindow();
  // Shows the window, disables its owner and runs the main loop until the window is gone.
  // Returns the value given to Close, or kUiCancel when the window was ended otherwise. A quit
  // request met meanwhile ends the run and stays pending for the outer loop.
  unsigned ShowModal();
  // Asks the window to close (carried out from the main loop, carrying `nRet`).
  void Close(unsigned nRet = kUiOk);

  virtual const wchar_t* GetWindowClassName() const = 0;
  // Every event of the window first; true when used up.
  virtual bool HandleEvent(GdkEvent* event);
  // After the window was destroyed; the handle is already cleared. An object on the heap may
  // delete itself.
  virtual void OnFinalMessage(GtkWidget* window);
  virtual ~CWindowWnd();

 protected:
  // The window exists, not yet shown.
  virtual void OnCreate() {}
  virtual void OnPaint(cairo_t* /*cr*/) {}

  GtkWidget* m_hWnd = nullptr;
  uint32_t m_style = 0;
  CModalRun* m_modalRun = nullptr;  // while ShowModal runs

 private:
  GtkWidget* CreateChild(GtkWidget* parent, int cx, int cy);
  GtkWidget* FinishCreate();
  static gboolean OnEventThunk(GtkWidget* widget, GdkEvent* event, gpointer self);
  static gboolean OnDrawThunk(GtkWidget* widget, cairo_t* cr, gpointer self);
  static void OnDestroyThunk(GtkWidget* widget, gpointer self);
  static gboolean OnCloseIdle(gpointer self);

  guint m_closeSource = 0;
  unsigned m_closeValue = kUiCancel;
};

}  // namespace corvane

// WindowImplBase on GTK 3: the base of every skinned window. It builds the window's content
// from the layout GetSkinFile() inside GetZIPFileName() (in the program's folder, under
// GetSkinFolder()), sizes the borderless window by the layout, drags it by the caption band
// (a double click there maximises or restores a window with a maximise box), resizes it by
// the layout's size box, and hands click notifications — and nothing else — to OnClick. Tab,
// Shift+Tab, Space and Enter work as on Windows; Escape closes a top-level window. Its ATK
// object lists the controls (skin/accessible_gtk.h); a control without text shows its
// tooltip.
#pragma once

#include <memory>

#include "skin/accessible_gtk.h"
#include "skin/button.h"
#include "skin/container.h"
#include "skin/dialog_builder.h"
#include "skin/label.h"
#include "skin/notify.h"
#include "skin/paint_manager_gtk.h"
#include "skin/progress.h"
#include "skin/resource_source.h"
#include "skin/window_wnd_gtk.h"

namespace corvane {

class WindowImplBase : public CWindowWnd, public INotifyUI, public IDialogBuilderCallback {
 public:
  WindowImplBase() = default;
  ~WindowImplBase() override;

  // Every event: the frame (drag, resize, double click), then the manager, then the keys no
  // control used (ResponseDefaultKeyEvent). Overrides see the event first and call this.
  bool HandleEvent(GdkEvent* event) override;
  void OnFinalMessage(GtkWidget* window) override;

  // After the layout was built, before the window is shown by its creator.
  virtual void InitWindow() {}
  // Clicks only. Default: "closebtn" closes, "minbtn", "maxbtn" and "restorebtn" do what the
  // caption boxes do; other names nothing.
  virtual void OnClick(TNotifyUI& msg);
  virtual CDuiString GetSkinFolder() { return L""; }
  virtual CDuiString GetSkinFile() { return L""; }
  // Keys no control used (a GDK key value): Escape closes a top-level window. True when handled.
  virtual bool ResponseDefaultKeyEvent(unsigned keyval);
  virtual UILIB_RESOURCETYPE GetResourceType() const { return UILIB_ZIP; }
  virtual CDuiString GetZIPFileName() const { return L"skin.zip"; }

  // INotifyUI: clicks go to OnClick, every other notification is dropped.
  void Notify(TNotifyUI& msg) override;
  // IDialogBuilderCallback: no kinds of its own by default.
  CControlUI* CreateControl(const wchar_t* pstrClass) override;

  CPaintManagerUI& GetPaintManager() { return m_PaintManager; }

 protected:
  void OnCreate() override;
  void OnPaint(cairo_t* cr) override;
  // A double click on the caption band; true when handled (the default maximises or restores).
  virtual bool OnCaptionDoubleClick();

  CPaintManagerUI m_PaintManager;

 private:
  bool HandleFrameEvent(GdkEvent* event);
  static gboolean OnQueryTooltipThunk(GtkWidget* widget, gint x, gint y, gboolean keyboard, GtkTooltip* tooltip,
                                      gpointer self);

  std::unique_ptr<CAccessibleGtk> m_accessible;

  struct CaptionPress {
    bool pending = false;  // pressed on the caption, not yet dragged
    int x = 0;
    int y = 0;
  } m_captionPress;
};

}  // namespace corvane

// The GTK host of the accessibility description (skin/accessible.h): the widget types of
// skinned windows, whose ATK objects have the controls as children, and CAccessibleGtk, which
// keeps one ATK object per exposed control and turns the manager's changes into ATK signals
// (state-changed focused/checked/enabled/sensitive, children-changed, names, values).
#pragma once

#include <atk/atk.h>
#include <gtk/gtk.h>

#include <map>
#include <string>
#include <vector>

#include "skin/ui_manager.h"

namespace corvane {

// A top-level skinned window (a GtkWindow) and a skinned child strip (a GtkDrawingArea).
GtkWidget* NewSkinWindowWidget();
GtkWidget* NewSkinAreaWidget();

class CAccessibleGtk {
 public:
  // Binds the widget (made by one of the functions above) to the manager's controls until
  // destroyed; takes the manager's accessibility listener.
  CAccessibleGtk(GtkWidget* widget, CUiManager& ui);
  ~CAccessibleGtk();
  CAccessibleGtk(const CAccessibleGtk&) = delete;
  CAccessibleGtk& operator=(const CAccessibleGtk&) = delete;

  // The bridge bound to a widget, or null.
  static CAccessibleGtk* Of(GtkWidget* widget);

  int ChildCount() const { return static_cast<int>(m_children.size()); }
  // A new reference, or null outside the range.
  AtkObject* RefChild(int index);
  int IndexOf(const CControlUI* control) const;
  CUiManager& Manager() { return m_ui; }
  GtkWidget* Widget() const { return m_widget; }
  // The title a top-level window speaks (AccessibleWindowName), UTF-8.
  const std::string& WindowName() const { return m_windowName; }

 private:
  void OnChange(CControlUI* control, UiAccChange change);
  void RefreshChildren(bool newTree);
  AtkObject* ObjectFor(CControlUI* control);  // borrowed; made on first use
  void Update(AtkObject* object);              // name and states, with their signals

  GtkWidget* m_widget;
  CUiManager& m_ui;
  std::vector<CControlUI*> m_children;
  std::map<const CControlUI*, AtkObject*> m_objects;  // owned references
  std::string m_windowName;
};

}  // namespace corvane

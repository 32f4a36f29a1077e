// ATK objects of skinned windows: the widget types whose accessibles list the controls, one
// AtkObject per control (AtkAction, AtkComponent, a state set; AtkValue for a bar), and the
// signals a screen reader follows.
#include "skin/accessible_gtk.h"

#include <gtk/gtk-a11y.h>

#include <algorithm>
#include <string>

#include "base/utf8.h"
#include "skin/control.h"

// GObject types, named as GObject's macros want them.
struct CorvaneSkinControl {
  AtkObject parent;
  corvane::CAccessibleGtk* bridge;  // both null once the control is gone (defunct)
  corvane::CControlUI* control;
  corvane::UiAccStates last;        // what the last signals told
};
struct CorvaneSkinControlClass {
  AtkObjectClass parent_class;
};
struct CorvaneSkinBar {
  CorvaneSkinControl parent;
};
struct CorvaneSkinBarClass {
  CorvaneSkinControlClass parent_class;
};
struct CorvaneSkinWindowAccessible {
  GtkWindowAccessible parent;
};
struct CorvaneSkinWindowAccessibleClass {
  GtkWindowAccessibleClass parent_class;
};
struct CorvaneSkinAreaAccessible {
  GtkWidgetAccessible parent;
};
struct CorvaneSkinAreaAccessibleClass {
  GtkWidgetAccessibleClass parent_class;
};
struct CorvaneSkinWindow {
  GtkWindow parent;
};
struct CorvaneSkinWindowClass {
  GtkWindowClass parent_class;
};
struct CorvaneSkinArea {
  GtkDrawingArea parent;
};
struct CorvaneSkinAreaClass {
  GtkDrawingAreaClass parent_class;
};

namespace {

using corvane::CAccessibleGtk;
using corvane::UiAccDescription;

constexpr char kBridgeKey[] = "corvane-skin-accessible";
constexpr char kActionName[] = "click";

CorvaneSkinControl* AsControl(gpointer object) { return reinterpret_cast<CorvaneSkinControl*>(object); }
bool Alive(const CorvaneSkinControl* c) { return c->bridge != nullptr && c->control != nullptr; }

// The children of a skinned widget's own accessible: the bridge's controls.
gint SkinChildCount(AtkObject* accessible) {
  CAccessibleGtk* bridge = CAccessibleGtk::Of(gtk_accessible_get_widget(GTK_ACCESSIBLE(accessible)));
  return bridge ? bridge->ChildCount() : 0;
}
AtkObject* SkinRefChild(AtkObject* accessible, gint index) {
  CAccessibleGtk* bridge = CAccessibleGtk::Of(gtk_accessible_get_widget(GTK_ACCESSIBLE(accessible)));
  return bridge ? bridge->RefChild(index) : nullptr;
}

AtkStateSet* ControlStates(AtkObject* object) {
  AtkStateSet* set = atk_state_set_new();
  CorvaneSkinControl* c = AsControl(object);
  if (!Alive(c)) {
    atk_state_set_add_state(set, ATK_STATE_DEFUNCT);
    return set;
  }
  const corvane::UiAccStates s = corvane::DescribeControl(*c->control).states;
  GtkWidget* widget = c->bridge->Widget();
  const bool mapped = widget != nullptr && gtk_widget_get_mapped(widget);
  const std::pair<bool, AtkStateType> states[] = {
      {s.enabled, ATK_STATE_ENABLED},     {s.enabled, ATK_STATE_SENSITIVE}, {s.focusable, ATK_STATE_FOCUSABLE},
      {s.focused, ATK_STATE_FOCUSED},     {s.checkable, ATK_STATE_CHECKABLE}, {s.checked, ATK_STATE_CHECKED},
      {s.visible, ATK_STATE_VISIBLE},     {s.showing && mapped, ATK_STATE_SHOWING}};
  for (const auto& [on, state] : states) {
    if (on) atk_state_set_add_state(set, state);
  }
  return set;
}

gint ControlIndex(AtkObject* object) {
  CorvaneSkinControl* c = AsControl(object);
  return Alive(c) ? c->bridge->IndexOf(c->control) : -1;
}

gboolean RunAction(gpointer object) {
  // From the loop, not from the query: the click may open a modal window or end this one.
  CorvaneSkinControl* c = AsControl(object);
  if (Alive(c)) corvane::DoAccessibleAction(c->bridge->Manager(), *c->control);
  g_object_unref(object);
  return G_SOURCE_REMOVE;
}

gboolean DoAction(AtkAction* action, gint index) {
  CorvaneSkinControl* c = AsControl(action);
  if (index != 0 || !Alive(c) || !c->control->IsClickable() || !c->control->IsEnabledInTree()) return FALSE;
  g_idle_add(RunAction, g_object_ref(action));
  return TRUE;
}
gint ActionCount(AtkAction* action) {
  CorvaneSkinControl* c = AsControl(action);
  return Alive(c) && c->control->IsClickable() ? 1 : 0;
}
const gchar* ActionName(AtkAction* action, gint index) {
  return index == 0 && ActionCount(action) == 1 ? kActionName : nullptr;
}

void Extents(AtkComponent* component, gint* x, gint* y, gint* width, gint* height, AtkCoordType type) {
  *x = *y = *width = *height = 0;
  CorvaneSkinControl* c = AsControl(component);
  if (!Alive(c)) return;
  const corvane::UiRect r = corvane::DescribeControl(*c->control).rect;
  int ox = 0, oy = 0;
  GdkWindow* window = c->bridge->Widget() ? gtk_widget_get_window(c->bridge->Widget()) : nullptr;
  if (window && type != ATK_XY_PARENT) {
    gdk_window_get_origin(window, &ox, &oy);
    if (type == ATK_XY_WINDOW) {
      int tx = 0, ty = 0;
      gdk_window_get_origin(gdk_window_get_toplevel(window), &tx, &ty);
      ox -= tx;
      oy -= ty;
    }
  }
  *x = ox + r.left;
  *y = oy + r.top;
  *width = r.Width();
  *height = r.Height();
}
gboolean GrabFocus(AtkComponent* component) {
  CorvaneSkinControl* c = AsControl(component);
  if (!Alive(c)) return FALSE;
  GtkWidget* widget = c->bridge->Widget();
  if (!corvane::TakeAccessibleFocus(c->bridge->Manager(), *c->control)) return FALSE;
  if (widget) gtk_widget_grab_focus(widget);
  return TRUE;
}
AtkLayer Layer(AtkComponent*) { return ATK_LAYER_WIDGET; }

UiAccDescription BarOf(AtkValue* value) {
  CorvaneSkinControl* c = AsControl(value);
  return Alive(c) ? corvane::DescribeControl(*c->control) : UiAccDescription{};
}
void SetDouble(GValue* out, double v) {
  g_value_init(out, G_TYPE_DOUBLE);
  g_value_set_double(out, v);
}
void CurrentValue(AtkValue* value, GValue* out) { SetDouble(out, BarOf(value).value); }
void MinimumValue(AtkValue* value, GValue* out) { SetDouble(out, BarOf(value).minValue); }
void MaximumValue(AtkValue* value, GValue* out) { SetDouble(out, BarOf(value).maxValue); }
void ValueAndText(AtkValue* value, gdouble* current, gchar** text) {
  *current = BarOf(value).value;
  if (text) *text = nullptr;
}
AtkRange* Range(AtkValue* value) {
  const UiAccDescription d = BarOf(value);
  return atk_range_new(d.minValue, d.maxValue, nullptr);
}

AtkRole AtkRoleOf(corvane::UiAccRole role) {
  switch (role) {
    case corvane::UiAccRole::PushButton: return ATK_ROLE_PUSH_BUTTON;
    case corvane::UiAccRole::ToggleButton: return ATK_ROLE_TOGGLE_BUTTON;
    case corvane::UiAccRole::RadioButton: return ATK_ROLE_RADIO_BUTTON;
    case corvane::UiAccRole::CheckBox: return ATK_ROLE_CHECK_BOX;
    case corvane::UiAccRole::StaticText: return ATK_ROLE_LABEL;
    case corvane::UiAccRole::ProgressBar: return ATK_ROLE_PROGRESS_BAR;
    case corvane::UiAccRole::Container: return ATK_ROLE_PANEL;
  }
  return ATK_ROLE_UNKNOWN;
}

}  // namespace

static void corvane_skin_control_action_init(AtkActionIface* iface) {
  iface->do_action = DoAction;
  iface->get_n_actions = ActionCount;
  iface->get_name = ActionName;
  iface->get_localized_name = ActionName;
}
static void corvane_skin_control_component_init(AtkComponentIface* iface) {
  iface->get_extents = Extents;
  iface->grab_focus = GrabFocus;
  iface->get_layer = Layer;
}
G_DEFINE_TYPE_WITH_CODE(CorvaneSkinControl, corvane_skin_control, ATK_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_ACTION, corvane_skin_control_action_init)
                            G_IMPLEMENT_INTERFACE(ATK_TYPE_COMPONENT, corvane_skin_control_component_init))
static void corvane_skin_control_init(CorvaneSkinControl* c) {
  c->bridge = nullptr;
  c->control = nullptr;
  c->last = corvane::UiAccStates{};
}
static void corvane_skin_control_class_init(CorvaneSkinControlClass* klass) {
  AtkObjectClass* atk = ATK_OBJECT_CLASS(klass);
  atk->ref_state_set = ControlStates;
  atk->get_index_in_parent = ControlIndex;
}

static void corvane_skin_bar_value_init(AtkValueIface* iface) {
  iface->get_current_value = CurrentValue;
  iface->get_minimum_value = MinimumValue;
  iface->get_maximum_value = MaximumValue;
  iface->get_value_and_text = ValueAndText;
  iface->get_range = Range;
}
G_DEFINE_TYPE_WITH_CODE(CorvaneSkinBar, corvane_skin_bar, corvane_skin_control_get_type(),
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_VALUE, corvane_skin_bar_value_init))
static void corvane_skin_bar_init(CorvaneSkinBar*) {}
static void corvane_skin_bar_class_init(CorvaneSkinBarClass*) {}

G_DEFINE_TYPE(CorvaneSkinWindowAccessible, corvane_skin_window_accessible, GTK_TYPE_WINDOW_ACCESSIBLE)
static void corvane_skin_window_accessible_init(CorvaneSkinWindowAccessible*) {}
static const gchar* SkinWindowName(AtkObject* accessible) {
  // A name the program gave, else the dialog's visible title; never the window's own title,
  // which is an internal name (close_prompt_dlg).
  if (accessible->name) return accessible->name;
  CAccessibleGtk* bridge = CAccessibleGtk::Of(gtk_accessible_get_widget(GTK_ACCESSIBLE(accessible)));
  return bridge ? bridge->WindowName().c_str() : "";
}
static void corvane_skin_window_accessible_class_init(CorvaneSkinWindowAccessibleClass* klass) {
  ATK_OBJECT_CLASS(klass)->get_name = SkinWindowName;
  ATK_OBJECT_CLASS(klass)->get_n_children = SkinChildCount;
  ATK_OBJECT_CLASS(klass)->ref_child = SkinRefChild;
}

G_DEFINE_TYPE(CorvaneSkinAreaAccessible, corvane_skin_area_accessible, GTK_TYPE_WIDGET_ACCESSIBLE)
static void corvane_skin_area_accessible_init(CorvaneSkinAreaAccessible*) {}
static void corvane_skin_area_accessible_class_init(CorvaneSkinAreaAccessibleClass* klass) {
  ATK_OBJECT_CLASS(klass)->get_n_children = SkinChildCount;
  ATK_OBJECT_CLASS(klass)->ref_child = SkinRefChild;
}

G_DEFINE_TYPE(CorvaneSkinWindow, corvane_skin_window, GTK_TYPE_WINDOW)
static void corvane_skin_window_init(CorvaneSkinWindow*) {}
static void corvane_skin_window_class_init(CorvaneSkinWindowClass* klass) {
  gtk_widget_class_set_accessible_type(GTK_WIDGET_CLASS(klass), corvane_skin_window_accessible_get_type());
}

G_DEFINE_TYPE(CorvaneSkinArea, corvane_skin_area, GTK_TYPE_DRAWING_AREA)
static void corvane_skin_area_init(CorvaneSkinArea*) {}
static void corvane_skin_area_class_init(CorvaneSkinAreaClass* klass) {
  gtk_widget_class_set_accessible_type(GTK_WIDGET_CLASS(klass), corvane_skin_area_accessible_get_type());
  gtk_widget_class_set_accessible_role(GTK_WIDGET_CLASS(klass), ATK_ROLE_PANEL);
}

namespace corvane {

GtkWidget* NewSkinWindowWidget() {
  return GTK_WIDGET(g_object_new(corvane_skin_window_get_type(), "type", GTK_WINDOW_TOPLEVEL, nullptr));
}

GtkWidget* NewSkinAreaWidget() { return GTK_WIDGET(g_object_new(corvane_skin_area_get_type(), nullptr)); }

CAccessibleGtk::CAccessibleGtk(GtkWidget* widget, CUiManager& ui) : m_widget(widget), m_ui(ui) {
  g_object_add_weak_pointer(G_OBJECT(m_widget), reinterpret_cast<gpointer*>(&m_widget));
  g_object_set_data(G_OBJECT(m_widget), kBridgeKey, this);
  m_children = AccessibleChildren(m_ui);
  m_windowName = WideToUtf8(AccessibleWindowName(m_ui));
  m_ui.SetAccessibleListener([this](CControlUI* control, UiAccChange change) { OnChange(control, change); });
}

CAccessibleGtk::~CAccessibleGtk() {
  m_ui.SetAccessibleListener(nullptr);
  for (auto& [control, object] : m_objects) {
    CorvaneSkinControl* c = AsControl(object);
    c->bridge = nullptr;
    c->control = nullptr;
    atk_object_notify_state_change(object, ATK_STATE_DEFUNCT, TRUE);
    g_object_unref(object);
  }
  if (m_widget) {
    g_object_set_data(G_OBJECT(m_widget), kBridgeKey, nullptr);
    g_object_remove_weak_pointer(G_OBJECT(m_widget), reinterpret_cast<gpointer*>(&m_widget));
  }
}

CAccessibleGtk* CAccessibleGtk::Of(GtkWidget* widget) {
  return widget ? static_cast<CAccessibleGtk*>(g_object_get_data(G_OBJECT(widget), kBridgeKey)) : nullptr;
}

AtkObject* CAccessibleGtk::RefChild(int index) {
  if (index < 0 || index >= ChildCount()) return nullptr;
  return ATK_OBJECT(g_object_ref(ObjectFor(m_children[static_cast<size_t>(index)])));
}

int CAccessibleGtk::IndexOf(const CControlUI* control) const {
  auto at = std::find(m_children.begin(), m_children.end(), control);
  return at == m_children.end() ? -1 : static_cast<int>(at - m_children.begin());
}

AtkObject* CAccessibleGtk::ObjectFor(CControlUI* control) {
  auto found = m_objects.find(control);
  if (found != m_objects.end()) return found->second;
  const UiAccDescription d = DescribeControl(*control);
  const GType type = d.hasValue ? corvane_skin_bar_get_type() : corvane_skin_control_get_type();
  AtkObject* object = ATK_OBJECT(g_object_new(type, nullptr));
  CorvaneSkinControl* c = AsControl(object);
  c->bridge = this;
  c->control = control;
  c->last = d.states;
  atk_object_set_role(object, AtkRoleOf(d.role));
  atk_object_set_name(object, WideToUtf8(d.name).c_str());
  atk_object_set_description(object, WideToUtf8(ToolTipFor(*control)).c_str());  // as GTK's widgets do
  if (m_widget) atk_object_set_parent(object, gtk_widget_get_accessible(m_widget));
  m_objects[control] = object;
  return object;
}

void CAccessibleGtk::Update(AtkObject* object) {
  CorvaneSkinControl* c = AsControl(object);
  const UiAccDescription d = DescribeControl(*c->control);
  const std::string name = WideToUtf8(d.name);
  const char* old = atk_object_get_name(object);
  if (!old || name != old) atk_object_set_name(object, name.c_str());
  const std::string tip = WideToUtf8(ToolTipFor(*c->control));
  const char* oldTip = atk_object_get_description(object);
  if (!oldTip || tip != oldTip) atk_object_set_description(object, tip.c_str());
  const UiAccStates was = c->last;
  c->last = d.states;
  const UiAccStates& now = d.states;
  if (was.focused != now.focused) atk_object_notify_state_change(object, ATK_STATE_FOCUSED, now.focused);
  if (was.checked != now.checked) atk_object_notify_state_change(object, ATK_STATE_CHECKED, now.checked);
  if (was.enabled != now.enabled) {
    atk_object_notify_state_change(object, ATK_STATE_ENABLED, now.enabled);
    atk_object_notify_state_change(object, ATK_STATE_SENSITIVE, now.enabled);
  }
  if (was.showing != now.showing) atk_object_notify_state_change(object, ATK_STATE_SHOWING, now.showing);
}

void CAccessibleGtk::OnChange(CControlUI* control, UiAccChange change) {
  if (change == UiAccChange::Children) {
    RefreshChildren(control == nullptr);
    return;
  }
  if (!control || IndexOf(control) < 0) return;
  AtkObject* object = ObjectFor(control);
  if (change == UiAccChange::Value) {
    g_object_notify(G_OBJECT(object), "accessible-value");
    return;
  }
  Update(object);
}

void CAccessibleGtk::RefreshChildren(bool newTree) {
  // A new tree's controls may sit where old ones were: none of the old ones is kept.
  const std::vector<CControlUI*> next = AccessibleChildren(m_ui);
  if (newTree) m_windowName = WideToUtf8(AccessibleWindowName(m_ui));
  AtkObject* parent = m_widget ? gtk_widget_get_accessible(m_widget) : nullptr;
  // Gone first, at their old places.
  for (int i = ChildCount() - 1; i >= 0; --i) {
    CControlUI* old = m_children[static_cast<size_t>(i)];
    if (!newTree && std::find(next.begin(), next.end(), old) != next.end()) continue;
    m_children.erase(m_children.begin() + i);
    auto found = m_objects.find(old);
    if (found == m_objects.end()) continue;
    AtkObject* object = found->second;
    m_objects.erase(found);
    CorvaneSkinControl* c = AsControl(object);
    c->bridge = nullptr;
    c->control = nullptr;
    if (parent) g_signal_emit_by_name(parent, "children-changed::remove", i, object);
    atk_object_notify_state_change(object, ATK_STATE_DEFUNCT, TRUE);
    g_object_unref(object);
  }
  const std::vector<CControlUI*> before = m_children;
  m_children = next;
  for (size_t i = 0; i < next.size(); ++i) {
    if (std::find(before.begin(), before.end(), next[i]) != before.end()) continue;
    if (parent) g_signal_emit_by_name(parent, "children-changed::add", static_cast<gint>(i), ObjectFor(next[i]));
  }
}

}  // namespace corvane

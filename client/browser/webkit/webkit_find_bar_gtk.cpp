// The find bar: its widgets, the search and the strip's clicks.
#include "client/browser/webkit/webkit_find_bar_gtk.h"

#include <string>

#include "base/utf8.h"
#include "client/browser/webkit/webkit_codes_gtk.h"
#include "skin/window_impl_base_gtk.h"

namespace corvane {
namespace {

constexpr guint kMostMatchesCounted = 1000;
constexpr int kEntryWidth = 240;
constexpr int kBarHeight = 32;

}  // namespace

// The skinned strip: its clicks become the bar's commands.
class CFindBarStrip final : public WindowImplBase {
 public:
  explicit CFindBarStrip(CWebKitFindBar* bar) : m_bar(bar) {}
  const wchar_t* GetWindowClassName() const override { return L"FindBar"; }
  CDuiString GetSkinFile() override { return L"find_bar.xml"; }
  // Esc on the strip (after a click on a button took the keyboard) closes the bar too.
  bool ResponseDefaultKeyEvent(unsigned keyval) override {
    const BrowserKey key = BrowserKeyOf(WindowsKeyCode(keyval), 0, false, KeyPlace::kFindBar);
    if (key == BrowserKey::kNone) return WindowImplBase::ResponseDefaultKeyEvent(keyval);
    m_bar->Do(key);
    return true;
  }
  void OnClick(TNotifyUI& msg) override {
    const std::wstring name = msg.pSender->GetName().GetData();
    if (name == L"button_find_previous") m_bar->Do(BrowserKey::kFindPrevious);
    if (name == L"button_find_next") m_bar->Do(BrowserKey::kFindNext);
    if (name == L"button_find_close") m_bar->Do(BrowserKey::kCloseFind);
  }

 private:
  CWebKitFindBar* m_bar;
};

CWebKitFindBar::CWebKitFindBar(WebKitWebView* view, std::function<bool(BrowserKey)> consume)
    : m_view(view), m_finder(webkit_web_view_get_find_controller(view)), m_consume(std::move(consume)) {
  GtkWidget* parent = gtk_widget_get_parent(GTK_WIDGET(view));
  m_row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
  // The main window shows its browser box whole on a relayout; the bar shows only when opened.
  gtk_widget_set_no_show_all(m_row, TRUE);
  m_entry = gtk_entry_new();
  gtk_widget_set_size_request(m_entry, kEntryWidth, kBarHeight);
  gtk_entry_set_placeholder_text(GTK_ENTRY(m_entry), "在页面中查找");
  atk_object_set_name(gtk_widget_get_accessible(m_entry), "在页面中查找");
  gtk_box_pack_start(GTK_BOX(m_row), m_entry, FALSE, FALSE, 0);
  gtk_widget_show(m_entry);
  m_strip = std::make_unique<CFindBarStrip>(this);
  if (GtkWidget* strip = m_strip->Create(m_row, L"find_bar", UI_WS_CHILD | UI_WS_VISIBLE, 0, 0, 0, 320, kBarHeight)) {
    gtk_widget_set_hexpand(strip, TRUE);
    gtk_box_set_child_packing(GTK_BOX(m_row), strip, TRUE, TRUE, 0, GTK_PACK_START);
  }
  if (GTK_IS_BOX(parent)) {
    gtk_box_pack_end(GTK_BOX(parent), m_row, FALSE, FALSE, 0);
  } else if (GTK_IS_CONTAINER(parent)) {
    gtk_container_add(GTK_CONTAINER(parent), m_row);
  }
  // Gone with the view's parent (the window closing) before this bar: nothing left to destroy.
  g_signal_connect(m_row, "destroy", G_CALLBACK(+[](GtkWidget*, CWebKitFindBar* self) {
                     self->m_row = nullptr;
                     self->m_entry = nullptr;
                   }), this);
  g_signal_connect(m_entry, "changed", G_CALLBACK(OnChanged), this);
  g_signal_connect(m_entry, "key-press-event", G_CALLBACK(OnEntryKey), this);
  g_signal_connect(m_finder, "counted-matches", G_CALLBACK(OnCounted), this);
  g_signal_connect(m_finder, "failed-to-find-text", G_CALLBACK(OnNotFound), this);
}

CWebKitFindBar::~CWebKitFindBar() {
  // The finder lives as long as the view, which may outlive this bar by a moment.
  g_signal_handlers_disconnect_by_data(m_finder, this);
  if (!m_row) return;
  g_signal_handlers_disconnect_by_data(m_entry, this);
  g_signal_handlers_disconnect_by_data(m_row, this);
  gtk_widget_destroy(m_row);  // the strip's widget with it
}

bool CWebKitFindBar::IsOpen() const { return m_row && gtk_widget_get_visible(m_row); }

std::wstring CWebKitFindBar::StateText() const {
  CControlUI* label = m_strip->GetPaintManager().FindControl(L"label_find_state");
  return label ? label->GetText().GetData() : L"";
}

void CWebKitFindBar::ShowState(const std::wstring& text) {
  if (CControlUI* label = m_strip->GetPaintManager().FindControl(L"label_find_state")) label->SetText(text.c_str());
  // The count is spoken where the teacher types.
  if (m_entry) atk_object_set_description(gtk_widget_get_accessible(m_entry), WideToUtf8(text).c_str());
}

void CWebKitFindBar::Do(BrowserKey key) {
  if (!m_row) return;
  switch (key) {
    case BrowserKey::kFind:
      gtk_widget_show(m_row);
      gtk_widget_grab_focus(m_entry);  // selects its text: typing replaces the last search
      Search();
      return;
    case BrowserKey::kFindNext:
    case BrowserKey::kFindPrevious:
      if (!IsOpen()) return;
      if (!webkit_find_controller_get_search_text(m_finder)) return Search();
      if (key == BrowserKey::kFindNext) {
        webkit_find_controller_search_next(m_finder);
      } else {
        webkit_find_controller_search_previous(m_finder);
      }
      return;
    case BrowserKey::kCloseFind:
      webkit_find_controller_search_finish(m_finder);
      ShowState(L"");
      gtk_widget_hide(m_row);
      gtk_widget_grab_focus(GTK_WIDGET(m_view));
      return;
    default:
      return;
  }
}

void CWebKitFindBar::Search() {
  const char* text = gtk_entry_get_text(GTK_ENTRY(m_entry));
  if (!text || !*text) {
    webkit_find_controller_search_finish(m_finder);
    ShowState(L"");
    return;
  }
  constexpr guint32 kOptions = WEBKIT_FIND_OPTIONS_CASE_INSENSITIVE | WEBKIT_FIND_OPTIONS_WRAP_AROUND;
  // Counted apart (first: a count after the search drops its highlights), since the engine's
  // "found" answers to next and previous count one match.
  webkit_find_controller_count_matches(m_finder, text, kOptions, kMostMatchesCounted);
  webkit_find_controller_search(m_finder, text, kOptions, kMostMatchesCounted);
}

void CWebKitFindBar::OnChanged(GtkEditable*, CWebKitFindBar* self) { self->Search(); }

gboolean CWebKitFindBar::OnEntryKey(GtkWidget*, GdkEventKey* event, CWebKitFindBar* self) {
  const BrowserKey key =
      BrowserKeyOf(WindowsKeyCode(event->keyval), KeyEventFlags(event->state), false, KeyPlace::kFindBar);
  return key != BrowserKey::kNone && self->m_consume(key) ? TRUE : FALSE;
}

void CWebKitFindBar::OnCounted(WebKitFindController*, guint count, CWebKitFindBar* self) {
  if (count == 0) {
    self->ShowState(L"未找到");
  } else if (count == G_MAXUINT || count > kMostMatchesCounted) {
    self->ShowState(L"超过 " + std::to_wstring(kMostMatchesCounted) + L" 处");
  } else {
    self->ShowState(L"共 " + std::to_wstring(count) + L" 处");
  }
}

void CWebKitFindBar::OnNotFound(WebKitFindController*, CWebKitFindBar* self) { self->ShowState(L"未找到"); }

}  // namespace corvane

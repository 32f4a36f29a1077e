// The skin the build packs: every layout builds cleanly and carries the controls the programs
// look up, of the kinds they expect; the named images are there; every button reacts to hover
// and press; the uninstaller starts on its first page.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "skin/button.h"
#include "skin/container.h"
#include "skin/progress.h"
#include "skin/tests/test_skin.h"

namespace corvane {
namespace {

enum class Kind { Button, Option, CheckBox, Container, Progress };

bool IsKind(CControlUI* c, Kind kind) {
  switch (kind) {
    case Kind::Button: return dynamic_cast<CButtonUI*>(c) && !dynamic_cast<COptionUI*>(c);
    case Kind::Option: return dynamic_cast<COptionUI*>(c) && !dynamic_cast<CCheckBoxUI*>(c);
    case Kind::CheckBox: return dynamic_cast<CCheckBoxUI*>(c) != nullptr;
    case Kind::Container: return dynamic_cast<CContainerUI*>(c) != nullptr;
    case Kind::Progress: return dynamic_cast<CProgressUI*>(c) != nullptr;
  }
  return false;
}

const std::map<std::wstring, std::vector<std::pair<std::wstring, Kind>>>& Required() {
  static const std::map<std::wstring, std::vector<std::pair<std::wstring, Kind>>> required{
      {L"main_tool_bar.xml", {{L"button_setting", Kind::Button}, {L"button_back", Kind::Button},
                              {L"button_forward", Kind::Button}, {L"button_refresh", Kind::Button}}},
      {L"tool_bar_menu.xml", {{L"button_setting", Kind::Button}, {L"button_help", Kind::Button},
                              {L"button_about", Kind::Button}, {L"button_exit", Kind::Button}}},
      {L"setting_dlg.xml", {{L"button_close", Kind::Button}, {L"option_tray", Kind::Option},
                            {L"option_exit", Kind::Option}}},
      {L"close_prompt_dlg.xml", {{L"button_ok", Kind::Button}, {L"button_cancel", Kind::Button},
                                 {L"button_close", Kind::Button}, {L"checkbox_no_prompt", Kind::CheckBox}}},
      {L"update_prompt_dlg.xml", {{L"button_close", Kind::Button}, {L"button_download", Kind::Button}}},
      {L"about_dlg.xml", {{L"button_close", Kind::Button}, {L"button_download", Kind::Button}}},
      {L"find_bar.xml", {{L"button_find_previous", Kind::Button}, {L"button_find_next", Kind::Button},
                         {L"button_find_close", Kind::Button}}},
      {L"uninstall_dlg.xml", {{L"page1_button_uninstall", Kind::Button}, {L"page1_button_cancel", Kind::Button},
                              {L"page3_button_finish", Kind::Button}, {L"button_min", Kind::Button},
                              {L"button_close", Kind::Button}, {L"begin_view", Kind::Container},
                              {L"uninstall_view", Kind::Container}, {L"end_view", Kind::Container},
                              {L"uninstall_progress", Kind::Progress}}},
  };
  return required;
}

std::unique_ptr<CUiManager> Load(const std::wstring& layout) {
  auto m = std::make_unique<CUiManager>();
  EXPECT_TRUE(m->LoadLayout(test::OpenSkin(), layout));
  const UiSize size = m->GetWindowAttributes().size;
  m->SetClientSize(size);
  m->LayoutIfNeeded();
  return m;
}

TEST(Skin, EveryLayoutBuildsWithoutDiagnosticsAndHasItsControls) {
  for (const auto& [layout, controls] : Required()) {
    SCOPED_TRACE(std::string(layout.begin(), layout.end()));
    auto m = Load(layout);
    EXPECT_TRUE(m->GetDiagnostics().empty()) << (m->GetDiagnostics().empty() ? "" : std::string(m->GetDiagnostics()[0].begin(), m->GetDiagnostics()[0].end()));
    EXPECT_GT(m->GetWindowAttributes().size.cx, 0);
    EXPECT_NE(m->GetFont(-1), nullptr);
    for (const auto& [name, kind] : controls) {
      CControlUI* c = m->FindControl(name.c_str());
      ASSERT_NE(c, nullptr) << std::string(name.begin(), name.end());
      EXPECT_TRUE(IsKind(c, kind)) << std::string(name.begin(), name.end());
      if (c->IsShownInTree()) {
        EXPECT_FALSE(c->GetPos().IsEmpty()) << std::string(name.begin(), name.end());
      }
    }
  }
}

TEST(Skin, EveryButtonShowsHoverAndPress) {
  for (const auto& [layout, controls] : Required()) {
    auto m = Load(layout);
    m->GetRoot()->ForEach([&](CControlUI& c) {
      auto* button = dynamic_cast<CButtonUI*>(&c);
      if (!button || dynamic_cast<COptionUI*>(&c)) return;
      const std::string what = std::string(layout.begin(), layout.end()) + " " +
                               std::string(c.GetName().str().begin(), c.GetName().str().end());
      EXPECT_TRUE(!button->GetHotImage().empty() || button->GetHotBkColor() != 0) << what;
      EXPECT_TRUE(!button->GetPushedImage().empty() || button->GetPushedBkColor() != 0) << what;
    });
  }
}

TEST(Skin, UninstallerStartsOnItsFirstPageWithTheBarAtZero) {
  auto m = Load(L"uninstall_dlg.xml");
  EXPECT_TRUE(m->FindControl(L"begin_view")->IsVisible());
  EXPECT_FALSE(m->FindControl(L"uninstall_view")->IsVisible());
  EXPECT_FALSE(m->FindControl(L"end_view")->IsVisible());
  auto* bar = m->FindControlAs<CProgressUI>(L"uninstall_progress");
  EXPECT_EQ(bar->GetValue(), 0);
  EXPECT_EQ(bar->GetMinValue(), 0);
  EXPECT_EQ(bar->GetMaxValue(), 100);
}

TEST(Skin, SettingsOptionsShareOneGroup) {
  auto m = Load(L"setting_dlg.xml");
  auto* tray = m->FindControlAs<COptionUI>(L"option_tray");
  auto* exit = m->FindControlAs<COptionUI>(L"option_exit");
  EXPECT_FALSE(tray->GetGroup().empty());
  EXPECT_EQ(tray->GetGroup(), exit->GetGroup());
}

TEST(Skin, TheNamedImagesArePngsAndTheBadgesDifferFromTheNormalFaces) {
  auto skin = test::OpenSkin();
  for (const wchar_t* state : {L"normal", L"hover", L"press"}) {
    for (const std::wstring prefix : {L"tool_bar_menu_about_update_", L"button_install_new_version_"}) {
      auto png = skin->Read(prefix + state + L".png");
      ASSERT_TRUE(png.has_value());
      EXPECT_EQ(png->substr(0, 8), "\x89PNG\r\n\x1a\n");
    }
    EXPECT_NE(skin->Read(std::wstring(L"tool_bar_menu_about_update_") + state + L".png"),
              skin->Read(std::wstring(L"tool_bar_menu_about_") + state + L".png"));
    EXPECT_NE(skin->Read(std::wstring(L"button_install_new_version_") + state + L".png"),
              skin->Read(std::wstring(L"button_download_") + state + L".png"));
  }
}

}  // namespace
}  // namespace corvane

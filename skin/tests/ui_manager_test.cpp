// The input state machine: hover, press and click, option groups, check boxes, progress
// bounds, keyboard focus order and the caption band.
#include "skin/ui_manager.h"

#include <gtest/gtest.h>

#include "skin/accessible.h"

#include "skin/button.h"
#include "skin/progress.h"
#include "skin/tests/test_skin.h"

namespace corvane {
namespace {

using test::BuildFromXml;

// Records every notification as "type:sender-name".
struct Recorder : INotifyUI {
  std::vector<std::wstring> seen;
  void Notify(TNotifyUI& msg) override {
    seen.push_back(msg.sType.str() + L":" + (msg.pSender ? msg.pSender->GetName().str() : L"?"));
  }
  std::vector<std::wstring> Clicks() const {
    std::vector<std::wstring> clicks;
    for (const auto& s : seen) {
      if (s.rfind(L"click:", 0) == 0) clicks.push_back(s.substr(6));
    }
    return clicks;
  }
};

constexpr char kDialog[] = R"(<Window size="300,200" caption="0,0,0,40">
  <VerticalLayout>
    <HorizontalLayout height="40"><Label name="title" text="T"/><Button name="button_close" tooltip="Close" width="30"/></HorizontalLayout>
    <Option name="option_tray" group="g" height="20" selected="true"/>
    <Option name="option_exit" group="g" height="20"/>
    <CheckBox name="checkbox_no_prompt" text="No prompt" tooltip="unused" height="20"/>
    <Label name="note" height="20"/>
    <Button name="hidden_button" height="20" visible="false"/>
    <Button name="disabled_button" height="20" enabled="false"/>
    <HorizontalLayout height="30"><Button name="button_ok"/><Button/><Button name="button_cancel" keyboard="false"/></HorizontalLayout>
    <Progress name="progress"/>
  </VerticalLayout></Window>)";

UiPoint Centre(const CControlUI* c) {
  const UiRect& r = c->GetPos();
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class Dialog : public ::testing::Test {
 protected:
  void SetUp() override {
    m = BuildFromXml(kDialog, {300, 200});
    m->AddNotifier(&recorder);
  }
  void Click(const CControlUI* c) {
    m->MouseMove(Centre(c));
    m->ButtonDown(Centre(c));
    m->ButtonUp(Centre(c));
  }
  std::unique_ptr<CUiManager> m;
  Recorder recorder;
};

TEST_F(Dialog, PressAndReleaseOverAButtonClicksIt) {
  CControlUI* ok = m->FindControl(L"button_ok");
  m->MouseMove(Centre(ok));
  EXPECT_TRUE(ok->IsHot());
  EXPECT_TRUE(m->ButtonDown(Centre(ok)));
  EXPECT_TRUE(ok->IsPushed());
  m->ButtonUp(Centre(ok));
  EXPECT_FALSE(ok->IsPushed());
  EXPECT_EQ(recorder.Clicks(), std::vector<std::wstring>{L"button_ok"});
}

TEST_F(Dialog, ReleasingElsewhereDisabledAndLabelsGiveNoClick) {
  CControlUI* ok = m->FindControl(L"button_ok");
  m->ButtonDown(Centre(ok));
  m->MouseMove(Centre(m->FindControl(L"note")));
  EXPECT_FALSE(ok->IsPushed());
  m->ButtonUp(Centre(m->FindControl(L"note")));
  EXPECT_FALSE(m->ButtonDown(Centre(m->FindControl(L"disabled_button"))));
  m->ButtonUp(Centre(m->FindControl(L"disabled_button")));
  EXPECT_FALSE(m->ButtonDown(Centre(m->FindControl(L"note"))));
  EXPECT_TRUE(recorder.Clicks().empty());

  // A button disabled while the pointer rests on it loses its hover.
  m->MouseMove(Centre(ok));
  ok->SetEnabled(false);
  EXPECT_FALSE(ok->IsHot());
}

TEST_F(Dialog, AnUnnamedButtonClicksWithAnEmptyName) {
  CControlUI* unnamed = m->FindControlAt({150, 155});
  ASSERT_NE(unnamed, nullptr);
  ASSERT_TRUE(unnamed->GetName().IsEmpty());
  Click(unnamed);
  EXPECT_EQ(recorder.Clicks(), std::vector<std::wstring>{L""});
}

TEST_F(Dialog, OptionsOfAGroupExcludeEachOther) {
  auto* tray = m->FindControlAs<COptionUI>(L"option_tray");
  auto* exit = m->FindControlAs<COptionUI>(L"option_exit");
  ASSERT_TRUE(tray && exit);
  EXPECT_TRUE(tray->IsSelected());
  Click(exit);
  EXPECT_TRUE(exit->IsSelected());
  EXPECT_FALSE(tray->IsSelected());
  Click(exit);  // a selected radio stays selected
  EXPECT_TRUE(exit->IsSelected());
  tray->Selected(true);
  EXPECT_FALSE(exit->IsSelected());
  EXPECT_EQ(recorder.Clicks(), (std::vector<std::wstring>{L"option_exit", L"option_exit"}));
  EXPECT_NE(std::find(recorder.seen.begin(), recorder.seen.end(), L"selectchanged:option_tray"), recorder.seen.end());
}

TEST_F(Dialog, CheckBoxesToggle) {
  auto* box = m->FindControlAs<CCheckBoxUI>(L"checkbox_no_prompt");
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(box->GetCheck());
  Click(box);
  EXPECT_TRUE(box->GetCheck());
  Click(box);
  EXPECT_FALSE(box->GetCheck());
  box->SetCheck(true);
  EXPECT_TRUE(box->GetCheck());
}

TEST_F(Dialog, ProgressStaysWithinItsRange) {
  auto* bar = m->FindControlAs<CProgressUI>(L"progress");
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetValue(), 0);
  bar->SetValue(42);
  EXPECT_EQ(bar->GetValue(), 42);
  bar->SetValue(101);
  EXPECT_EQ(bar->GetValue(), 100);
  bar->SetValue(-1);
  EXPECT_EQ(bar->GetValue(), 0);
}

TEST_F(Dialog, TabVisitsClickableControlsInLayoutOrderAndWraps) {
  std::vector<std::wstring> order;
  for (CControlUI* c : m->GetFocusOrder()) order.push_back(c->GetName().str());
  const std::vector<std::wstring> expected{L"button_close", L"option_tray", L"option_exit",
                                           L"checkbox_no_prompt", L"button_ok", L""};
  EXPECT_EQ(order, expected);

  std::vector<std::wstring> visited;
  for (size_t i = 0; i < expected.size() + 1; ++i) {
    EXPECT_TRUE(m->KeyDown(UiKey::Tab));
    visited.push_back(m->GetFocus()->GetName().str());
  }
  EXPECT_EQ(visited.back(), L"button_close");  // wrapped
  EXPECT_TRUE(m->IsFocusMarkShown());
  EXPECT_TRUE(m->KeyDown(UiKey::ShiftTab));
  EXPECT_EQ(m->GetFocus()->GetName(), L"");
  EXPECT_TRUE(m->KeyDown(UiKey::ShiftTab));
  EXPECT_EQ(m->GetFocus()->GetName(), L"button_ok");
}

TEST_F(Dialog, SpaceAndEnterClickTheFocusedControl) {
  EXPECT_FALSE(m->KeyDown(UiKey::Enter));  // nothing focused yet
  m->KeyDown(UiKey::Tab);
  m->KeyDown(UiKey::Tab);
  m->KeyDown(UiKey::Tab);  // option_exit
  EXPECT_TRUE(m->KeyDown(UiKey::Space));
  EXPECT_TRUE(m->FindControlAs<COptionUI>(L"option_exit")->IsSelected());
  m->KeyDown(UiKey::Tab);
  EXPECT_TRUE(m->KeyDown(UiKey::Enter));
  EXPECT_TRUE(m->FindControlAs<CCheckBoxUI>(L"checkbox_no_prompt")->GetCheck());
  EXPECT_EQ(recorder.Clicks(), (std::vector<std::wstring>{L"option_exit", L"checkbox_no_prompt"}));
}

TEST_F(Dialog, HidingTheFocusedControlDropsTheFocus) {
  m->KeyDown(UiKey::Tab);
  CControlUI* close = m->GetFocus();
  ASSERT_EQ(close->GetName(), L"button_close");
  close->GetParent()->SetVisible(false);
  EXPECT_EQ(m->GetFocus(), nullptr);
  EXPECT_FALSE(m->KeyDown(UiKey::Space));
  m->KeyDown(UiKey::Tab);
  EXPECT_EQ(m->GetFocus()->GetName(), L"option_tray");
}

TEST_F(Dialog, TheCaptionBandDragsExceptOverButtons) {
  EXPECT_TRUE(m->IsCaptionAt(Centre(m->FindControl(L"title"))));
  EXPECT_FALSE(m->IsCaptionAt(Centre(m->FindControl(L"button_close"))));
  EXPECT_FALSE(m->IsCaptionAt(Centre(m->FindControl(L"note"))));
}

// What a screen reader sees and does through the description, and the changes it is told of.
TEST_F(Dialog, TheAccessibleDescriptionFollowsTheTreeAndActsLikeTheKeyboard) {
  std::vector<std::wstring> events;
  m->SetAccessibleListener([&events](CControlUI* c, UiAccChange change) {
    static const wchar_t* kinds[] = {L"focus", L"state", L"value", L"children"};
    events.push_back(std::wstring(kinds[static_cast<int>(change)]) + L":" + (c ? c->GetName().str() : L"*"));
  });
  auto names = [&] {
    std::vector<std::wstring> seen;
    for (CControlUI* c : AccessibleChildren(*m)) seen.push_back(c->GetName().str());
    return seen;
  };
  // Shown controls only, flat, in tab order; the text-less label and the layouts are not there.
  EXPECT_EQ(names(), (std::vector<std::wstring>{L"title", L"button_close", L"option_tray", L"option_exit",
                                                L"checkbox_no_prompt", L"disabled_button", L"button_ok", L"",
                                                L"button_cancel", L"progress"}));
  auto* close = m->FindControl(L"button_close");
  auto* exit = m->FindControl(L"option_exit");
  auto* box = m->FindControlAs<CCheckBoxUI>(L"checkbox_no_prompt");
  const UiAccDescription closeInfo = DescribeControl(*close);
  EXPECT_EQ(closeInfo.role, UiAccRole::PushButton);
  EXPECT_EQ(closeInfo.name, L"Close");  // the tooltip, never the internal name
  EXPECT_EQ(ToolTipFor(*close), L"Close");
  EXPECT_EQ(closeInfo.defaultAction, L"click");
  EXPECT_EQ(closeInfo.rect, close->GetPos());
  EXPECT_TRUE(closeInfo.states.enabled && closeInfo.states.focusable && closeInfo.states.showing);
  EXPECT_EQ(DescribeControl(*box).name, L"No prompt");  // visible text wins over the tooltip
  EXPECT_EQ(ToolTipFor(*box), L"");
  EXPECT_EQ(DescribeControl(*box).role, UiAccRole::CheckBox);
  EXPECT_EQ(DescribeControl(*exit).role, UiAccRole::RadioButton);
  EXPECT_TRUE(DescribeControl(*m->FindControl(L"option_tray")).states.checked);
  EXPECT_EQ(DescribeControl(*m->FindControl(L"title")).role, UiAccRole::StaticText);
  EXPECT_FALSE(DescribeControl(*m->FindControl(L"disabled_button")).states.enabled);
  EXPECT_FALSE(DescribeControl(*m->FindControl(L"button_cancel")).states.focusable);
  EXPECT_EQ(AccessibleControlAt(*m, Centre(exit)), exit);
  EXPECT_EQ(AccessibleWindowName(*m), L"T");  // the title in the caption band

  // Focus: the mark is shown as for Tab, the loser hears of it before the winner.
  EXPECT_TRUE(TakeAccessibleFocus(*m, *box));
  EXPECT_TRUE(m->IsFocusMarkShown());
  EXPECT_TRUE(DescribeControl(*box).states.focused);
  EXPECT_FALSE(TakeAccessibleFocus(*m, *m->FindControl(L"disabled_button")));
  m->KeyDown(UiKey::Tab);
  EXPECT_EQ(events, (std::vector<std::wstring>{L"focus:checkbox_no_prompt", L"state:checkbox_no_prompt",
                                               L"focus:button_ok"}));

  // The default action is the keyboard's click: the same notifications, nothing for the inert.
  events.clear();
  EXPECT_TRUE(DoAccessibleAction(*m, *box));
  EXPECT_TRUE(DescribeControl(*box).states.checked);
  EXPECT_TRUE(DoAccessibleAction(*m, *exit));
  EXPECT_FALSE(DescribeControl(*m->FindControl(L"option_tray")).states.checked);
  EXPECT_FALSE(DoAccessibleAction(*m, *m->FindControl(L"disabled_button")));
  EXPECT_FALSE(DoAccessibleAction(*m, *m->FindControl(L"title")));
  CUiManager other;
  EXPECT_FALSE(DoAccessibleAction(other, *close));  // a control of another window
  EXPECT_EQ(recorder.Clicks(), (std::vector<std::wstring>{L"checkbox_no_prompt", L"option_exit"}));
  EXPECT_EQ(events, (std::vector<std::wstring>{L"state:checkbox_no_prompt", L"state:option_tray",
                                               L"state:option_exit"}));

  // Values, names and the list itself.
  events.clear();
  m->FindControlAs<CProgressUI>(L"progress")->SetValue(42);
  EXPECT_EQ(DescribeControl(*m->FindControl(L"progress")).value, 42);
  EXPECT_TRUE(DescribeControl(*m->FindControl(L"progress")).hasValue);
  close->SetToolTip(L"Shut");
  EXPECT_EQ(DescribeControl(*close).name, L"Shut");
  close->GetParent()->SetVisible(false);
  EXPECT_EQ(names().front(), L"option_tray");
  EXPECT_EQ(events, (std::vector<std::wstring>{L"value:progress", L"state:button_close", L"children:"}));
}

TEST(DuiString, ComparesExactly) {
  const CDuiString name(L"button_ok", -1);
  EXPECT_TRUE(name == L"button_ok");
  EXPECT_FALSE(name == L"Button_ok");
  EXPECT_FALSE(name == L"button_ok ");
  EXPECT_TRUE(CDuiString(L"button_okay", 9) == L"button_ok");
  EXPECT_TRUE(CDuiString(nullptr) == L"");
  EXPECT_TRUE(CDuiString() == nullptr);
}

}  // namespace
}  // namespace corvane

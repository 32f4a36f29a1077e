// Layout parsing and layout geometry: missing controls, malformed XML, unknown attributes,
// kinds and images, fixed and stretching sizes, margins, insets and floats.
#include "skin/dialog_builder.h"

#include <gtest/gtest.h>

#include "skin/button.h"
#include "skin/container.h"
#include "skin/progress.h"
#include "skin/tests/test_skin.h"

namespace corvane {
namespace {

using test::BuildFromXml;

bool Mentions(const std::vector<std::wstring>& diagnostics, const std::wstring& text) {
  for (const auto& d : diagnostics) {
    if (d.find(text) != std::wstring::npos) return true;
  }
  return false;
}

TEST(DialogBuilder, ControlsAbsentFromTheLayoutAreNull) {
  auto m = BuildFromXml(R"(<Window><VerticalLayout><Button name="button_ok"/></VerticalLayout></Window>)");
  EXPECT_NE(m->FindControl(L"button_ok"), nullptr);
  EXPECT_EQ(m->FindControl(L"button_cancel"), nullptr);
  EXPECT_EQ(m->FindControl(L"Button_OK"), nullptr);  // names are exact
  EXPECT_EQ(m->FindControl(L""), nullptr);
  EXPECT_EQ(m->FindControl(nullptr), nullptr);
  EXPECT_EQ(m->FindControlAs<CProgressUI>(L"button_ok"), nullptr);  // wrong kind
  EXPECT_NE(m->FindControlAs<CButtonUI>(L"button_ok"), nullptr);
}

TEST(DialogBuilder, MalformedOrForeignXmlBuildsNothing) {
  for (const char* xml : {R"(<Window><VerticalLayout><Button name="a"></VerticalLayout></Window>)",
                          "", "<Window", R"(<Dialog><Button name="a"/></Dialog>)", "<Window/>"}) {
    auto m = BuildFromXml(xml);
    EXPECT_EQ(m->GetRoot(), nullptr) << xml;
    EXPECT_EQ(m->FindControl(L"a"), nullptr);
    EXPECT_FALSE(m->GetDiagnostics().empty()) << xml;
  }
  EXPECT_TRUE(Mentions(BuildFromXml("<Window")->GetDiagnostics(), L"malformed"));
}

TEST(DialogBuilder, UnknownAttributesAndKindsAreReportedAndSkipped) {
  auto m = BuildFromXml(R"(<Window size="300,200" shine="yes">
    <VerticalLayout><Button name="b" sparkle="3" text="OK"/><Gauge name="g"/><Label name="l"/></VerticalLayout>
  </Window>)");
  auto* b = m->FindControlAs<CButtonUI>(L"b");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->GetText(), L"OK");
  EXPECT_EQ(m->FindControl(L"g"), nullptr);
  EXPECT_NE(m->FindControl(L"l"), nullptr);
  EXPECT_TRUE(Mentions(m->GetDiagnostics(), L"\"sparkle\""));
  EXPECT_TRUE(Mentions(m->GetDiagnostics(), L"\"shine\""));
  EXPECT_TRUE(Mentions(m->GetDiagnostics(), L"\"Gauge\""));
  EXPECT_EQ(m->GetWindowAttributes().size.cx, 300);
}

TEST(DialogBuilder, ImagesAbsentFromTheSkinAreReportedAndTheControlStays) {
  auto m = BuildFromXml(R"(<Window><HorizontalLayout>
    <Button name="b" normalimage="present.png" hotimage="file='absent.png' dest='0,0,8,8'"/>
  </HorizontalLayout></Window>)");
  ASSERT_NE(m->FindControl(L"b"), nullptr);
  EXPECT_TRUE(Mentions(m->GetDiagnostics(), L"\"absent.png\""));
  EXPECT_FALSE(Mentions(m->GetDiagnostics(), L"present.png"));
}

class Gauge : public CControlUI {
 public:
  const wchar_t* GetClass() const override { return L"Gauge"; }
};

TEST(DialogBuilder, TheWindowMaySupplyKindsOfItsOwn) {
  struct Factory : IDialogBuilderCallback {
    CControlUI* CreateControl(const wchar_t* kind) override {
      return std::wstring(kind) == L"Gauge" ? new Gauge : nullptr;
    }
  } factory;
  auto built = CDialogBuilder::Build(R"(<Window><VerticalLayout><Gauge name="g"/></VerticalLayout></Window>)",
                                     nullptr, &factory);
  ASSERT_NE(built.root, nullptr);
  EXPECT_EQ(std::wstring(built.root->FindControl(L"g")->GetClass()), L"Gauge");
}

TEST(DialogBuilder, RefusesNestingBeyondItsDepthLimit) {
  std::string xml = "<Window>";
  for (int i = 0; i < 80; ++i) xml += "<VerticalLayout>";
  xml += R"(<Button name="deep"/>)";
  for (int i = 0; i < 80; ++i) xml += "</VerticalLayout>";
  xml += "</Window>";
  auto m = BuildFromXml(xml);
  ASSERT_NE(m->GetRoot(), nullptr);
  EXPECT_EQ(m->FindControl(L"deep"), nullptr);
  EXPECT_TRUE(Mentions(m->GetDiagnostics(), L"deeper"));
}

TEST(Layout, VerticalSharesTheRestAmongStretchingChildrenAndKeepsMargins) {
  auto m = BuildFromXml(R"(<Window><VerticalLayout inset="10,10,10,10" childpadding="5">
      <Label name="a" height="40"/>
      <Label name="b" padding="4,6,8,2"/>
      <Label name="c"/>
      <Label name="hidden" height="500" visible="false"/>
      <Button name="d" height="30" width="100"/>
    </VerticalLayout></Window>)", {400, 300});
  // room 280; fixed 40 + 30; margins 8; gaps 3 x 5 -> stretch share (280-70-8-15)/2 = 93 (+1)
  EXPECT_EQ(m->FindControl(L"a")->GetPos(), (UiRect{10, 10, 390, 50}));
  EXPECT_EQ(m->FindControl(L"b")->GetPos(), (UiRect{14, 61, 382, 154}));
  EXPECT_EQ(m->FindControl(L"c")->GetPos(), (UiRect{10, 161, 390, 255}));
  EXPECT_EQ(m->FindControl(L"d")->GetPos(), (UiRect{10, 260, 110, 290}));
}

TEST(Layout, HorizontalFloatsAndTheMarginSetAtRunTime) {
  auto m = BuildFromXml(R"(<Window><HorizontalLayout>
      <Button name="back" float="true" pos="6,2,34,27"/>
      <Button name="button_setting" width="110" padding="485,2,2,2"/>
    </HorizontalLayout></Window>)", {600, 30});
  CControlUI* setting = m->FindControl(L"button_setting");
  EXPECT_EQ(m->FindControl(L"back")->GetPos(), (UiRect{6, 2, 34, 27}));
  EXPECT_EQ(setting->GetPos(), (UiRect{485, 2, 595, 28}));

  // As the client's main window does on every resize, with a platform rectangle.
  struct PlatformRect {
    long left, top, right, bottom;
  };
  m->SetClientSize({1024, 30});
  setting->SetPadding(PlatformRect{1024 - 115, 2, 2, 2});
  m->LayoutIfNeeded();
  EXPECT_EQ(setting->GetPos(), (UiRect{909, 2, 1019, 28}));
}

TEST(Layout, ShowingAndHidingPagesRelaysTheContainer) {
  auto m = BuildFromXml(R"(<Window><VerticalLayout>
      <VerticalLayout name="begin_view"><Button name="x"/></VerticalLayout>
      <VerticalLayout name="end_view" visible="false"><Button name="y"/></VerticalLayout>
    </VerticalLayout></Window>)", {200, 100});
  EXPECT_EQ(m->FindControl(L"begin_view")->GetPos(), (UiRect{0, 0, 200, 100}));
  m->FindControl(L"begin_view")->SetVisible(false);
  m->FindControl(L"end_view")->SetVisible(true);
  m->LayoutIfNeeded();
  EXPECT_EQ(m->FindControl(L"end_view")->GetPos(), (UiRect{0, 0, 200, 100}));
  EXPECT_EQ(m->FindControlAt({50, 50}), m->FindControl(L"y"));
}

TEST(Layout, RectanglesAreNeverInvertedNorPastTheLimit) {
  auto m = BuildFromXml(R"(<Window><HorizontalLayout>
      <Button name="flipped" float="true" pos="40,30,10,5"/>
      <Button name="squeezed" padding="300,0,300,0"/>
      <Button name="far" float="true" pos="0,0,16777216,16777216" width="16777216"/>
    </HorizontalLayout></Window>)", {400, 300});
  EXPECT_EQ(m->FindControl(L"flipped")->GetPos(), (UiRect{40, 30, 40, 30}));
  const UiRect squeezed = m->FindControl(L"squeezed")->GetPos();
  EXPECT_EQ(squeezed.Width(), 0);
  EXPECT_EQ(m->FindControl(L"far")->GetPos(), (UiRect{0, 0, kUiCoordinateLimit, kUiCoordinateLimit}));
}

TEST(AttributeValues, ParseOrRefuse) {
  EXPECT_EQ(ParseColor(L"#2F6FEB"), 0xFF2F6FEBu);
  EXPECT_EQ(ParseColor(L"#802F6FEB"), 0x802F6FEBu);
  EXPECT_FALSE(ParseColor(L"2F6FEB").has_value());
  EXPECT_FALSE(ParseColor(L"#2F6FEG").has_value());
  EXPECT_EQ(ParseRect(L"1, 2,3 ,4"), (UiRect{1, 2, 3, 4}));
  EXPECT_FALSE(ParseRect(L"1,2,3").has_value());
  EXPECT_FALSE(ParseRect(L"1,2,3,4,5").has_value());
  EXPECT_EQ(ParseInt(L"-16777216"), -kUiCoordinateLimit);
  EXPECT_FALSE(ParseInt(L"16777217").has_value()) << "past any screen, and sums of such would overflow";
  EXPECT_FALSE(ParseRect(L"4,4,4,2147483649").has_value());
  const UiImageSpec parsed = ParseImageSpec(L"file='radio.png' dest='0,6,16,22'");
  EXPECT_EQ(parsed.file, L"radio.png");
  EXPECT_TRUE(parsed.hasDest);
  EXPECT_EQ(parsed.dest, (UiRect{0, 6, 16, 22}));
  EXPECT_EQ(ParseImageSpec(L"plain.png").file, L"plain.png");
  EXPECT_FALSE(ParseImageSpec(L"plain.png").hasDest);
}

}  // namespace
}  // namespace corvane

// What both hosts share beside the control tree: scaling between logical and device pixels,
// the frame's hit test (resize borders, caption band) and the order of a modal run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/frame_hit.h"
#include "skin/modal_run.h"
#include "skin/tests/test_skin.h"
#include "skin/ui_manager.h"
#include "skin/ui_scale.h"

namespace corvane {
namespace {

TEST(UiScaleTest, PointsRoundDownRectanglesGrowAndSizesRound) {
  const UiScale s(1.5f);
  EXPECT_EQ(s.ToLogical(UiPoint{14, 15}).x, 9);
  EXPECT_EQ(s.ToLogical(UiPoint{14, 15}).y, 10);
  EXPECT_EQ(s.ToDevice(UiRect{1, 1, 3, 3}), (UiRect{1, 1, 5, 5}));
  EXPECT_EQ(s.ToDevice(UiSize{401, 236}).cx, 602);  // 601.5 rounds up
  EXPECT_EQ(s.ToDevice(UiSize{401, 236}).cy, 354);
  EXPECT_EQ(s.ToLogical(UiSize{602, 354}).cx, 401);
  EXPECT_EQ(UiScale(0).Factor(), 1.0f) << "no factor is no scaling";
  EXPECT_EQ(UiScale(-2).ToDevice(7), 7);
}

constexpr char kFrame[] = R"(<Window size="300,200" caption="0,0,0,40" sizebox="4,4,6,6">
  <VerticalLayout>
    <HorizontalLayout height="40"><Label name="title"/><Button name="button_close" width="30"/></HorizontalLayout>
    <Label/>
  </VerticalLayout></Window>)";

TEST(FrameHitTest, BordersOfAResizableWindowThenTheCaptionBandThenTheClient) {
  auto m = test::BuildFromXml(kFrame, {300, 200});
  const UiScale s(2.0f);
  const UiSize client{600, 400};  // device pixels of the 300 x 200 layout
  const UiFrameState resizable{false, true, false};
  auto at = [&](int x, int y, UiFrameState state) { return HitTestFrame(*m, UiPoint{x, y}, client, s, state); };
  EXPECT_EQ(at(0, 0, resizable), UiFrameHit::TopLeft);
  EXPECT_EQ(at(599, 0, resizable), UiFrameHit::TopRight);
  EXPECT_EQ(at(0, 399, resizable), UiFrameHit::BottomLeft);
  EXPECT_EQ(at(599, 399, resizable), UiFrameHit::BottomRight);
  EXPECT_EQ(at(7, 200, resizable), UiFrameHit::Left);     // 4 logical = 8 device pixels
  EXPECT_EQ(at(8, 200, resizable), UiFrameHit::Client);
  EXPECT_EQ(at(588, 200, resizable), UiFrameHit::Right);  // 6 logical = 12 device pixels
  EXPECT_EQ(at(587, 200, resizable), UiFrameHit::Client);
  EXPECT_EQ(at(300, 7, resizable), UiFrameHit::Top);
  EXPECT_EQ(at(300, 388, resizable), UiFrameHit::Bottom);
  EXPECT_EQ(at(100, 40, resizable), UiFrameHit::Caption);
  EXPECT_EQ(at(100, 80, resizable), UiFrameHit::Client) << "below the 40-pixel band";
  const UiRect close = s.ToDevice(m->FindControl(L"button_close")->GetPos());
  EXPECT_EQ(at((close.left + close.right) / 2, 40, resizable), UiFrameHit::Client) << "a button in the band";

  // No borders without a sizing frame, when maximised, or for a child (which has no caption).
  EXPECT_EQ(at(0, 0, UiFrameState{false, false, false}), UiFrameHit::Caption);
  EXPECT_EQ(at(0, 0, UiFrameState{false, true, true}), UiFrameHit::Caption);
  EXPECT_EQ(at(0, 0, UiFrameState{true, true, false}), UiFrameHit::Client);
  EXPECT_EQ(HitTestResizeBorder(UiPoint{0, 0}, client, UiRect{}, s), UiFrameHit::Client);
}

// A host that replays a script of events and records what the run asks of it.
class ScriptedHost : public IModalHost {
 public:
  // Each step: 'c' Close(value) then the window goes, 'e' an event that changes nothing,
  // 'q' a quit request.
  ScriptedHost(std::string script, CModalRun& run) : m_script(std::move(script)), m_run(run) {}
  void ShowWindow() override { calls.push_back("show"); }
  void SetOwnerEnabled(bool enabled) override { calls.push_back(enabled ? "owner on" : "owner off"); }
  void FocusOwner() override { calls.push_back("focus owner"); }
  bool IsWindowAlive() const override { return m_alive; }
  bool DispatchOne(int& quitCode) override {
    const char step = m_next < m_script.size() ? m_script[m_next++] : 'c';
    if (step == 'q') {
      quitCode = 5;
      return false;
    }
    if (step == 'c') {
      m_run.CloseRequested(7);
      m_run.WindowClosing();
      calls.push_back("destroy");
      m_alive = false;
    }
    return true;
  }
  void RepostQuit(int quitCode) override { calls.push_back("quit " + std::to_string(quitCode)); }

  std::vector<std::string> calls;

 private:
  std::string m_script;
  CModalRun& m_run;
  size_t m_next = 0;
  bool m_alive = true;
};

TEST(ModalRunTest, ReturnsTheCloseValueWithTheOwnerUsableBeforeTheWindowGoes) {
  CModalRun run;
  ScriptedHost host("eec", run);
  EXPECT_EQ(run.Run(host), 7u);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"show", "owner off", "owner on", "destroy", "owner on",
                                                  "focus owner"}));
  EXPECT_FALSE(run.IsRunning());
}

TEST(ModalRunTest, AQuitEndsTheRunWithCancelAndReachesTheOuterLoop) {
  CModalRun run;
  ScriptedHost host("eq", run);
  EXPECT_EQ(run.Run(host), CModalRun::kCancel);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"show", "owner off", "owner on", "focus owner", "quit 5"}));
  run.WindowClosing();  // after the run: nothing is asked of the host any more
  EXPECT_EQ(host.calls.size(), 5u);
}

}  // namespace
}  // namespace corvane

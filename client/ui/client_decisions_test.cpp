// The close decision: the four combinations of the remembered flags, and the prompt's three
// buttons with its box ticked, unticked and missing from the layout; the about/update choice.
#include "client/ui/close_decision.h"

#include <gtest/gtest.h>

#include <string>

#include "client/ui/about_choice.h"

namespace corvane {
namespace {

using Effect = ClosePromptOutcome::Effect;

TEST(CloseDecision, ThePromptWhileAskingElseTheRememberedAction) {
  EXPECT_EQ(DecideCloseAction(true, true), CloseAction::ShowPrompt);
  EXPECT_EQ(DecideCloseAction(true, false), CloseAction::ShowPrompt);
  EXPECT_EQ(DecideCloseAction(false, true), CloseAction::Exit);
  EXPECT_EQ(DecideCloseAction(false, false), CloseAction::Minimise) << "no file: minimise without asking";
}

TEST(CloseDecision, AnExitAsksThePageFirstAndEndsWithItsOwnCode) {
  CPendingExit exit;
  EXPECT_FALSE(exit.Begin(2, false)) << "no page: end at once";
  EXPECT_EQ(exit.Take(), std::nullopt);
  EXPECT_TRUE(exit.Begin(2, true));
  EXPECT_TRUE(exit.Begin(0, true));  // the tray's exit while the caption's is being asked
  EXPECT_EQ(exit.Take(), std::optional<int>(2));
  EXPECT_EQ(exit.Take(), std::nullopt) << "a page closed for no exit ends nothing";
}

TEST(CloseDecision, ThePromptsButtonsRememberTheirChoiceAndApplyTheBox) {
  for (std::optional<bool> ticked : {std::optional<bool>(true), std::optional<bool>(false), std::optional<bool>()}) {
    const std::optional<bool> prompt = ticked ? std::optional<bool>(!*ticked) : std::nullopt;
    const auto ok = DecideClosePromptClick(L"button_ok", ticked);
    EXPECT_TRUE(ok.closes);
    EXPECT_EQ(ok.effect, Effect::MinimiseMainWindow);
    EXPECT_EQ(ok.exitOnClose, std::optional<bool>(false));
    EXPECT_EQ(ok.closePrompt, prompt);

    const auto cancel = DecideClosePromptClick(L"button_cancel", ticked);
    EXPECT_TRUE(cancel.closes);
    EXPECT_EQ(cancel.effect, Effect::ExitApp);
    EXPECT_EQ(cancel.exitOnClose, std::optional<bool>(true));
    EXPECT_EQ(cancel.closePrompt, prompt);

    const auto close = DecideClosePromptClick(L"button_close", ticked);
    EXPECT_TRUE(close.closes);
    EXPECT_EQ(close.effect, Effect::None) << "no minimise, no exit";
    EXPECT_EQ(close.exitOnClose, std::nullopt);
    EXPECT_EQ(close.closePrompt, prompt);
  }
  const auto other = DecideClosePromptClick(L"checkbox_no_prompt", true);
  EXPECT_FALSE(other.closes) << "ticking the box closes nothing";
  EXPECT_EQ(other.effect, Effect::None);
  EXPECT_EQ(other.exitOnClose, std::nullopt);
  EXPECT_EQ(other.closePrompt, std::nullopt);
  EXPECT_FALSE(DecideClosePromptClick(L"Button_OK", false).closes) << "names compare case-sensitively";
}

TEST(AboutChoiceTest, TheAboutBoxOnlyWithNothingPending) {
  auto layout = [](bool update, bool ready) { return std::wstring(ChooseAbout(update, ready).layout); };
  EXPECT_EQ(layout(false, false), L"about_dlg.xml");
  EXPECT_EQ(layout(true, false), L"update_prompt_dlg.xml");
  EXPECT_EQ(layout(false, true), L"update_prompt_dlg.xml") << "a newer installer already downloaded";
  EXPECT_EQ(layout(true, true), L"update_prompt_dlg.xml");
  EXPECT_FALSE(ChooseAbout(true, false).installMode);
  EXPECT_TRUE(ChooseAbout(false, true).installMode);
  EXPECT_TRUE(ChooseAbout(true, true).installMode);
}

}  // namespace
}  // namespace corvane

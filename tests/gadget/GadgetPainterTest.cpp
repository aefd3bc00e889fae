#include "gadget/GadgetPainter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeCanvas.h"

namespace quorvane {
namespace {

using Log = std::vector<std::string>;
using testing::FakeHost;
using testing::FixedWidthMeasurer;
using testing::Record;
using testing::RecordingFrame;
using testing::RecordingPage;

constexpr std::u16string_view kPausedText = u"< Paused >";

class GadgetPainterTest : public ::testing::Test {
 protected:
  void Show(FeedItem item) {
    machine.TakeFirstScreen();
    host.store = {std::move(item)};
    machine.NextScreen();
  }
  void Paint(int width, int height) {
    page = {};
    frame = {};
    PaintGadget(machine, kPausedText, width, height, measurer, page, frame, &cache);
  }

  FakeHost host;
  TypingMachine machine{host};
  FixedWidthMeasurer measurer;
  LineBreakCache cache;
  RecordingPage page;
  RecordingFrame frame;
};

TEST_F(GadgetPainterTest, BarsFollowTheHeightAndOutlinesAlwaysShow) {
  Show(Record(u"news", u"Title", u"Feed"));
  Paint(100, 60);
  EXPECT_EQ(frame.log, (Log{"title 'Title' in 3,1,100,60", "feed title 'Feed' in 3,44,97,60",
                            "outline 0,0 0,15 99,15 99,0 0,0",
                            "outline 0,44 0,59 99,59 99,44 0,44"}));
  EXPECT_EQ(page.log[1], "title bar 0,0,100,16");
  EXPECT_EQ(page.log[2], "link bar 0,44,100,60");

  Paint(100, 40);
  EXPECT_EQ(frame.log, (Log{"title 'Title' in 3,1,100,40", "outline 0,0 0,15 99,15 99,0 0,0",
                            "outline 0,24 0,39 99,39 99,24 0,24"}));
  EXPECT_EQ(page.log[1], "title bar 0,0,100,16");
  EXPECT_EQ(page.log[2].rfind("link bar", 0), std::string::npos);

  // Narrower than 80: laid out 80 wide, the rest cut off by the final copy.
  Paint(50, 30);
  EXPECT_EQ(frame.log, (Log{"outline 0,0 0,15 79,15 79,0 0,0",
                            "outline 0,14 0,29 79,29 79,14 0,14"}));
  EXPECT_EQ(page.log, (Log{"clear 80x30", "run 3,18 '_ '", "copy 80x30"}));
}

TEST_F(GadgetPainterTest, PausedKeepsTheTypedTextAndPutsTheMarkerInTheTitleBar) {
  Show(Record(u"a long description", u"Title", u"Feed"));
  machine.TypingTick();
  machine.TypingTick();
  machine.TogglePause();
  for (int blink = 0; blink < 2; ++blink) {
    Paint(100, 60);
    EXPECT_EQ(page.runs, (Log{"a "})) << "the typed text, without the cursor";
    machine.CursorBlink();
  }
  // The marker, 60 pixels wide, ends 3 pixels inside the bar; the title
  // gives way to it.
  EXPECT_EQ(frame.log[0], "title '< Paused >' in 36,1,97,60");
  EXPECT_EQ(frame.log[1], "title 'Title' in 3,1,30,60");
  EXPECT_EQ(frame.log[2], "feed title 'Feed' in 3,44,97,60");
  machine.TogglePause();
  Paint(100, 60);
  EXPECT_EQ(frame.log[0], "title 'Title' in 3,1,100,60");
}

TEST_F(GadgetPainterTest, NextWhilePausedShowsTheFirstPageWholeAndResumeHoldsThere) {
  // Two lines of 15 characters per page at 100 x 74.
  host.store = {Record(u"aaaa bbbb cccc dddd eeee ffff gggg hhhh"), Record(u"short one")};
  machine.TakeFirstScreen();  // "short one" on screen
  machine.TogglePause();
  machine.ShowNextHeadline();
  Paint(100, 74);
  EXPECT_EQ(page.runs, (Log{"aaaa bbbb cccc ", "dddd eeee ffff"}));
  EXPECT_EQ(host.resumeWaits, 0) << "no hold while paused";
  machine.ShowNextHeadline();
  Paint(100, 74);
  EXPECT_EQ(page.runs, (Log{"short one"})) << "a text on one page, all of it";

  machine.ShowPreviousHeadline();
  Paint(100, 74);
  machine.TogglePause();
  Paint(100, 74);
  EXPECT_EQ(host.resumeWaits, 1) << "resumed on a full page: the hold";
  machine.AwakeFeed();
  Paint(100, 74);
  EXPECT_EQ(page.runs, (Log{"_ "})) << "the next page";
}

TEST_F(GadgetPainterTest, WithoutAnimationsEachPageShowsWholeAndTheHoldAndWaitStay) {
  // Two lines of 15 characters per page at 100 x 74: two pages.
  Show(Record(u"aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj kkkk"));
  machine.SetWholePages(true);
  machine.TypingTick();
  Paint(100, 74);
  EXPECT_EQ(page.runs, (Log{"aaaa bbbb cccc ", "dddd eeee ffff_ "}));
  EXPECT_EQ(host.resumeWaits, 1) << "the full page's hold";
  machine.TypingTick();
  machine.AwakeFeed();
  Paint(100, 74);
  EXPECT_EQ(page.runs, (Log{"gggg hhhh iiii ", "jjjj kkkk_ "}));
  EXPECT_EQ(host.nextScreenWaits, 0);
  machine.TypingTick();
  EXPECT_EQ(host.nextScreenWaits, 1) << "the wait between screens";
}

TEST_F(GadgetPainterTest, FullPageStartsOneHoldThroughTheMachine) {
  // Two lines per page at 80 x 74; the hold comes before the 24th character.
  Show(Record(u"aaaaa bbbbb ccccc ddddd eeeee fffff"));
  for (int i = 0; i < 23; ++i) machine.TypingTick();
  Paint(80, 74);
  EXPECT_TRUE(machine.ScreenFull());
  EXPECT_EQ(host.resumeWaits, 1);
  EXPECT_EQ(page.runs.back(), "ccccc ddddd_ ");  // drawn before the hold began
  Paint(80, 74);
  EXPECT_EQ(host.resumeWaits, 1);
  EXPECT_EQ(page.runs.back(), "ccccc ddddd");  // now the cursor blinks: off-phase

  machine.AwakeFeed();
  Paint(80, 74);
  EXPECT_EQ(page.runs.back(), "_ ");
  EXPECT_FALSE(machine.ScreenFull());
}

}  // namespace
}  // namespace quorvane

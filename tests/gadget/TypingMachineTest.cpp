#include "gadget/TypingMachine.h"

#include <gtest/gtest.h>

#include "FakeCanvas.h"

namespace quorvane {
namespace {

using testing::FakeHost;
using testing::Record;

class TypingMachineTest : public ::testing::Test {
 protected:
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) machine.TypingTick();
  }
  // Construction with an empty store, then the fetcher's first cycle.
  void ShowFirstRecord(std::vector<FeedItem> records) {
    machine.TakeFirstScreen();
    host.store = std::move(records);
    machine.NextScreen();
  }

  FakeHost host;
  TypingMachine machine{host};
};

TEST_F(TypingMachineTest, FirstScreenIsThePlaceholderWithANewScreenDue) {
  machine.TakeFirstScreen();
  EXPECT_EQ(machine.CurrentItem(), PlaceholderItem());
  EXPECT_TRUE(machine.NeedNewScreen());
  EXPECT_EQ(machine.TypedCount(), 0);
  EXPECT_FALSE(machine.WaitingForNextScreen() || machine.ScreenFull() || machine.Paused());
}

TEST_F(TypingMachineTest, NextAndPreviousHeadlineTypeFromTheStartEndingAHoldOrAWaitButNotAPause) {
  ShowFirstRecord({Record(u"abcde", u"A"), Record(u"xyz", u"B"), Record(u"pq", u"C")});
  Ticks(2);
  machine.StartResumeWait();  // a full page is held
  machine.ShowNextHeadline();
  EXPECT_EQ(machine.CurrentItem().title, u"B");
  EXPECT_EQ(machine.TypedCount(), 0);
  EXPECT_FALSE(machine.ScreenFull() || machine.NeedNewScreen());

  Ticks(4);  // typed, and the wait for the next screen runs
  ASSERT_TRUE(machine.WaitingForNextScreen());
  machine.ShowPreviousHeadline();
  EXPECT_EQ(machine.CurrentItem().title, u"A");
  EXPECT_FALSE(machine.WaitingForNextScreen() || machine.NeedNewScreen());
  machine.NextScreen();  // the abandoned wait's post changes nothing
  EXPECT_EQ(machine.CurrentItem().title, u"A");

  machine.ShowPreviousHeadline();  // wraps round to the last
  EXPECT_EQ(machine.CurrentItem().title, u"C");
  machine.ShowNextHeadline();
  EXPECT_EQ(machine.CurrentItem().title, u"A");

  machine.TogglePause();
  Ticks(3);
  machine.ShowNextHeadline();
  EXPECT_EQ(machine.CurrentItem().title, u"B");
  EXPECT_EQ(machine.TypedCount(), 0);
  EXPECT_TRUE(machine.Paused());
  EXPECT_TRUE(machine.RevealDue());
}

TEST_F(TypingMachineTest, FiveCharactersTakeFiveTicksAndTheSixthStartsTheWait) {
  ShowFirstRecord({Record(u"abcde", u"A"), Record(u"xyz", u"B")});
  EXPECT_EQ(machine.CurrentItem().title, u"A");
  EXPECT_FALSE(machine.NeedNewScreen());

  Ticks(5);
  EXPECT_EQ(machine.TypedCount(), 5);
  EXPECT_FALSE(machine.WaitingForNextScreen());
  EXPECT_EQ(host.nextScreenWaits, 0);

  Ticks(1);
  EXPECT_TRUE(machine.WaitingForNextScreen());
  EXPECT_TRUE(machine.NeedNewScreen());
  EXPECT_EQ(host.nextScreenWaits, 1);

  Ticks(10);  // nothing is typed during the pause between screens
  EXPECT_EQ(machine.TypedCount(), 5);
  EXPECT_EQ(host.nextScreenWaits, 1);

  machine.NextScreen();  // the wait thread's post
  EXPECT_EQ(machine.CurrentItem().title, u"B");
  EXPECT_EQ(machine.TypedCount(), 0);
  EXPECT_FALSE(machine.WaitingForNextScreen() || machine.NeedNewScreen());
}

TEST_F(TypingMachineTest, EmptyDescriptionStartsTheWaitOnTheFirstTick) {
  ShowFirstRecord({Record(u"")});
  Ticks(1);
  EXPECT_EQ(machine.TypedCount(), 0);
  EXPECT_TRUE(machine.WaitingForNextScreen());
  EXPECT_EQ(host.nextScreenWaits, 1);
}

TEST_F(TypingMachineTest, SurrogatePairIsTypedInOneTick) {
  // A pair in the middle and one at the end; a lone high surrogate is one
  // unit, as is the accent after "e".
  ShowFirstRecord({Record(u"a\U0001F600e\u0301\xD83Dz\U0001F600")});
  std::vector<int> counts;
  while (!machine.WaitingForNextScreen()) {
    ASSERT_LT(counts.size(), 100u) << "the headline never ends";
    machine.TypingTick();
    counts.push_back(machine.TypedCount());
  }
  EXPECT_EQ(counts, (std::vector<int>{1, 3, 4, 5, 6, 7, 9, 9}));
}

TEST_F(TypingMachineTest, EmptyStoreRepeatsThePlaceholderUntilTheFetcherPosts) {
  machine.TakeFirstScreen();
  Ticks(10);  // "Connecting" typed
  Ticks(1);
  EXPECT_TRUE(machine.WaitingForNextScreen());
  machine.NextScreen();  // wait over, store still empty
  EXPECT_EQ(machine.CurrentItem(), PlaceholderItem());
  EXPECT_TRUE(machine.NeedNewScreen());
  EXPECT_EQ(machine.TypedCount(), 0);

  Ticks(4);  // mid-typing the placeholder the first cycle ends
  host.store = {Record(u"real news", u"A")};
  machine.NextScreen();
  EXPECT_EQ(machine.CurrentItem().title, u"A");
  EXPECT_EQ(machine.TypedCount(), 0);
  EXPECT_FALSE(machine.NeedNewScreen());
}

TEST_F(TypingMachineTest, FetcherPostInTheMiddleOfARecordChangesNothing) {
  ShowFirstRecord({Record(u"abcdef", u"A"), Record(u"uvwxyz", u"B")});
  Ticks(3);
  machine.NextScreen();
  EXPECT_EQ(machine.CurrentItem().title, u"A");
  EXPECT_EQ(machine.TypedCount(), 3);
}

TEST_F(TypingMachineTest, PauseDuringTheWaitFreezesTheScreenAndResumeWaitsAgain) {
  ShowFirstRecord({Record(u"ab", u"A"), Record(u"cd", u"B")});
  Ticks(3);
  ASSERT_TRUE(machine.WaitingForNextScreen());

  machine.TogglePause();
  EXPECT_EQ(host.endedWaits, 1);
  machine.NextScreen();  // a post already on its way, or the fetcher's
  Ticks(5);
  EXPECT_EQ(machine.CurrentItem().title, u"A");
  EXPECT_EQ(machine.TypedCount(), 2);
  EXPECT_EQ(host.nextScreenWaits, 1);

  machine.TogglePause();  // the wait between screens starts again
  EXPECT_EQ(host.nextScreenWaits, 2);
  EXPECT_TRUE(machine.WaitingForNextScreen());
  machine.NextScreen();
  EXPECT_EQ(machine.CurrentItem().title, u"B");
}

TEST_F(TypingMachineTest, PauseStopsTypingWithoutRedrawsAndResumeGoesOnFromThere) {
  ShowFirstRecord({Record(u"abcdef", u"A"), Record(u"xyz", u"B")});
  Ticks(2);
  machine.TogglePause();
  EXPECT_TRUE(machine.Paused());
  EXPECT_FALSE(machine.TypingTick());
  machine.IncrementFeed();
  machine.AwakeFeed();
  EXPECT_EQ(machine.TypedCount(), 2);

  machine.TogglePause();
  EXPECT_FALSE(machine.Paused());
  EXPECT_EQ(host.nextScreenWaits + host.resumeWaits, 0);
  EXPECT_TRUE(machine.TypingTick());
  EXPECT_EQ(machine.TypedCount(), 3);
  EXPECT_EQ(machine.CurrentItem().title, u"A");
}

TEST_F(TypingMachineTest, StepWhilePausedRevealsAPageOnceAndResumeTypesOnFromIt) {
  ShowFirstRecord({Record(u"abcdef", u"A"), Record(u"uvwxyz", u"B")});
  Ticks(2);
  machine.TogglePause();
  machine.ShowNextHeadline();
  EXPECT_TRUE(machine.RevealDue());
  Ticks(3);
  EXPECT_EQ(machine.TypedCount(), 0);
  machine.RevealPage(4);  // the draw measured the first page
  EXPECT_FALSE(machine.RevealDue());
  machine.RevealPage(6);  // only once
  EXPECT_EQ(machine.TypedCount(), 4);
  machine.TogglePause();
  Ticks(1);
  EXPECT_EQ(machine.TypedCount(), 5);

  // Stepped to but never drawn: resuming types it from its start.
  machine.TogglePause();
  machine.ShowNextHeadline();
  machine.TogglePause();
  Ticks(1);
  EXPECT_EQ(machine.CurrentItem().title, u"A");
  EXPECT_EQ(machine.TypedCount(), 1);
}

TEST_F(TypingMachineTest, FullPageHoldsTypingUntilAwakeTypesOneCharacter) {
  ShowFirstRecord({Record(u"abcdefgh")});
  Ticks(3);
  machine.StartResumeWait();
  EXPECT_TRUE(machine.ScreenFull());
  EXPECT_EQ(host.resumeWaits, 1);
  machine.StartResumeWait();  // already holding: no second wait
  EXPECT_EQ(host.resumeWaits, 1);
  Ticks(5);
  EXPECT_EQ(machine.TypedCount(), 3);

  machine.AwakeFeed();
  EXPECT_FALSE(machine.ScreenFull());
  EXPECT_EQ(machine.TypedCount(), 4);
}

TEST_F(TypingMachineTest, PauseKeepsAHoldAndResumeStartsItsWaitAgain) {
  ShowFirstRecord({Record(u"abcdefgh")});
  Ticks(3);
  machine.StartResumeWait();
  machine.TogglePause();
  EXPECT_TRUE(machine.ScreenFull());
  EXPECT_EQ(host.endedWaits, 1);
  machine.AwakeFeed();  // a post already on its way
  EXPECT_TRUE(machine.ScreenFull());
  EXPECT_EQ(machine.TypedCount(), 3);

  machine.TogglePause();
  EXPECT_TRUE(machine.ScreenFull());
  EXPECT_EQ(host.resumeWaits, 2);
  machine.AwakeFeed();
  EXPECT_EQ(machine.TypedCount(), 4);
}

TEST_F(TypingMachineTest, NewScreenKeepsAHoldUntilTheResumePost) {
  machine.TakeFirstScreen();  // placeholder: a new screen stays due
  machine.StartResumeWait();
  host.store = {Record(u"abc")};
  machine.NextScreen();
  EXPECT_TRUE(machine.ScreenFull());
  Ticks(1);
  EXPECT_EQ(machine.TypedCount(), 0);
  machine.AwakeFeed();
  EXPECT_EQ(machine.TypedCount(), 1);
}

TEST_F(TypingMachineTest, WaitThatCannotStartDoesNotStopTheDisplay) {
  ShowFirstRecord({Record(u"ab", u"A"), Record(u"cd", u"B")});
  host.waitsStart = false;
  machine.StartResumeWait();
  EXPECT_EQ(host.resumeWaits, 1);
  EXPECT_FALSE(machine.ScreenFull());
  Ticks(3);  // the end of the text goes straight to the next screen
  EXPECT_EQ(host.nextScreenWaits, 1);
  EXPECT_EQ(machine.CurrentItem().title, u"B");
  EXPECT_EQ(machine.TypedCount(), 0);
  EXPECT_FALSE(machine.WaitingForNextScreen());
}

TEST_F(TypingMachineTest, CursorStandsWhileTypingAndBlinksOtherwise) {
  ShowFirstRecord({Record(u"abc")});
  EXPECT_TRUE(machine.CursorVisible());
  machine.CursorBlink();
  EXPECT_TRUE(machine.CursorOn());
  EXPECT_TRUE(machine.CursorVisible());
  machine.CursorBlink();

  machine.StartResumeWait();  // holding
  EXPECT_FALSE(machine.CursorVisible());
  machine.CursorBlink();
  EXPECT_TRUE(machine.CursorVisible());
  machine.CursorBlink();
  machine.AwakeFeed();

  Ticks(3);  // waiting for the next screen
  ASSERT_TRUE(machine.WaitingForNextScreen());
  EXPECT_FALSE(machine.CursorVisible());
  machine.TogglePause();  // paused: the marker stands in for the cursor
  EXPECT_FALSE(machine.CursorVisible());
  machine.CursorBlink();
  EXPECT_FALSE(machine.CursorVisible());
}

}  // namespace
}  // namespace quorvane

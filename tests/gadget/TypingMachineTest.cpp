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

TEST_F(TypingMachineTest, PauseDuringTheWaitGivesOneScreenChangeWhicheverPostComesFirst) {
  for (bool tickBeforeFirstPost : {true, false}) {
    SCOPED_TRACE(tickBeforeFirstPost);
    FakeHost h;
    TypingMachine m{h};
    m.TakeFirstScreen();
    h.store = {Record(u"ab", u"A"), Record(u"cd", u"B"), Record(u"ef", u"C")};
    m.NextScreen();
    for (int i = 0; i < 3; ++i) m.TypingTick();
    ASSERT_TRUE(m.WaitingForNextScreen());

    m.TogglePause();
    EXPECT_FALSE(m.WaitingForNextScreen());
    EXPECT_TRUE(m.NeedNewScreen());
    if (tickBeforeFirstPost) {
      m.TypingTick();  // text still complete: a second wait starts
      EXPECT_EQ(h.nextScreenWaits, 2);
    }
    m.NextScreen();  // first wait's post
    EXPECT_EQ(m.CurrentItem().title, u"B");
    if (!tickBeforeFirstPost) m.TypingTick();
    m.NextScreen();  // second post, or a stray fetcher post
    EXPECT_EQ(m.CurrentItem().title, u"B");
  }
}

TEST_F(TypingMachineTest, TypingGoesOnWhilePausedWithoutRedraws) {
  ShowFirstRecord({Record(u"abc", u"A"), Record(u"defgh", u"B")});
  Ticks(1);
  machine.TogglePause();
  EXPECT_TRUE(machine.Paused());
  EXPECT_FALSE(machine.TypingTick());
  EXPECT_EQ(machine.TypedCount(), 2);
  EXPECT_EQ(machine.ScreenText(u"< Paused >"), u"< Paused >");

  Ticks(2);  // end of text still starts the wait, and screens still change
  EXPECT_TRUE(machine.WaitingForNextScreen());
  machine.NextScreen();
  Ticks(3);
  machine.TogglePause();
  EXPECT_FALSE(machine.Paused());
  EXPECT_EQ(machine.CurrentItem().title, u"B");
  EXPECT_EQ(machine.TypedCount(), 3);
  EXPECT_EQ(machine.ScreenText(u"< Paused >"), u"defgh");
  EXPECT_TRUE(machine.TypingTick());
  EXPECT_EQ(machine.TypedCount(), 4);
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

TEST_F(TypingMachineTest, PauseRefusesAndEndsTheHold) {
  ShowFirstRecord({Record(u"abcdefgh")});
  machine.StartResumeWait();
  machine.TogglePause();
  EXPECT_FALSE(machine.ScreenFull());
  machine.StartResumeWait();
  EXPECT_FALSE(machine.ScreenFull());
  EXPECT_EQ(host.resumeWaits, 1);
  machine.TogglePause();  // turning pause off touches nothing else
  EXPECT_FALSE(machine.ScreenFull() || machine.WaitingForNextScreen());
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
  machine.TogglePause();  // paused
  EXPECT_FALSE(machine.CursorVisible());
  machine.CursorBlink();
  EXPECT_TRUE(machine.CursorVisible());
}

}  // namespace
}  // namespace quorvane

#pragma once
// The screen state of the gadget: which record is on screen, how much of its
// description is typed, and whether typing holds on a full page, waits for
// the next screen or is paused. Everything runs on the user-interface thread;
// the timed waits are started through the ScreenHost.
//
// How the control drives it:
//   construction, once the fetcher exists   TakeFirstScreen()
//   typing timer tick                       if (TypingTick()) ask for a redraw
//   cursor timer tick                       CursorBlink()     (no redraw)
//   next-screen message                     NextScreen()
//   resume-typing message                   AwakeFeed()
//   menu verb 0 ("Pause")                   TogglePause()
//   putting the feed list                   RequestNewScreen()
//   next / previous headline                ShowNextHeadline(), ShowPreviousHeadline()
//   drawing                                 RevealPage() when due,
//                                           TypedCount(), CursorVisible(),
//                                           and StartResumeWait() on a full page
#include <atomic>
#include <string_view>

#include "feeds/FeedItem.h"
#include "gadget/ScreenHost.h"

namespace quorvane {

class TypingMachine {
 public:
  // The host must outlive the machine. The screen starts with five empty
  // strings and nothing typed; TakeFirstScreen loads the first record.
  explicit TypingMachine(ScreenHost& host);

  TypingMachine(const TypingMachine&) = delete;
  TypingMachine& operator=(const TypingMachine&) = delete;

  // Takes the first record from the host and runs NextScreen once, which
  // (the store being empty at construction) leaves the placeholder on
  // screen with a new screen still due.
  void TakeFirstScreen();

  // One typing tick: IncrementFeed. Returns whether the control should ask
  // for a redraw (not while paused: the display stands still).
  bool TypingTick();

  // Types one more character of the description (one UTF-16 unit, or both
  // halves of a surrogate pair), or, when all of it is typed, starts the
  // wait for the next screen. Does nothing while holding on a full page,
  // waiting for the next screen, paused, or before a due reveal is drawn.
  void IncrementFeed();

  // Inverts the cursor's blink phase.
  void CursorBlink();

  // Ends a full-page hold and types one character at once; nothing while
  // paused.
  void AwakeFeed();

  // Loads the next record if a new screen is due and the display is not
  // paused (ignores a fetcher notification in the middle of a screen), and
  // says whether it did. A status record (the placeholder) leaves a new
  // screen due, so the next notification replaces it at once. Does not
  // touch the full-page hold.
  bool NextScreen();

  // Marks the text as fully typed and starts the timed wait for the next
  // screen. If the host cannot start the wait, the next screen is loaded
  // at once rather than leaving the display stuck.
  void StartNextScreenWait();

  // Starts the full-page hold and its timed wait, unless a hold is already
  // on or the display is paused. If the host cannot start the wait, the hold
  // is dropped at once so typing does not stop for good.
  void StartResumeWait();

  // The "Pause" menu item. Pausing freezes the display: typing stops, the
  // running wait ends without its post, no screen changes. Resuming goes on
  // from the same state: a hold or the wait between screens starts again.
  void TogglePause();

  // "Next headline" / "Previous headline": the following (preceding)
  // record of the round robin starts typing from its beginning at once,
  // whatever the screen was doing; a hold or a wait ends, a pause stays.
  // While paused the record's first page is to be shown whole: the next
  // draw measures it and calls RevealPage.
  void ShowNextHeadline();
  void ShowPreviousHeadline();

  // Whole pages instead of typing ("Show animations" off): each tick that
  // would type a character instead has the next draw show the rest of the
  // page whole; holds and waits stay as they are.
  void SetWholePages(bool whole) { wholePages_ = whole; }

  // A reveal is due: the draw should lay out the page that holds the typed
  // position (the first page of a record just stepped to) and pass the
  // count that shows it whole.
  bool RevealDue() const { return revealDue_ || pageDue_; }
  // The position whose page is to be shown: the start of a record stepped
  // to, else the next character to type.
  int RevealFrom() const { return revealDue_ ? typedCount_ : typedCount_ + 1; }
  void RevealPage(int count);

  // The feed list was replaced: the next notification loads a new screen.
  void RequestNewScreen() { needNewScreen_ = true; }

  // The cursor "_ " follows the typed text in the blink's on-phase, and
  // always while characters are being typed; never while paused, when the
  // paused marker shows instead.
  bool CursorVisible() const;

  const FeedItem& CurrentItem() const { return currentItem_; }
  int TypedCount() const { return typedCount_; }
  bool NeedNewScreen() const { return needNewScreen_; }
  bool WaitingForNextScreen() const { return waitingForNextScreen_; }
  bool ScreenFull() const { return screenFull_; }
  bool CursorOn() const { return cursorOn_; }
  // Safe to read from any thread (the resume wait checks it).
  bool Paused() const { return paused_.load(std::memory_order_acquire); }

 private:
  void ShowRecord(FeedItem item);

  ScreenHost& host_;
  FeedItem currentItem_;
  int typedCount_ = 0;
  bool needNewScreen_ = true;
  bool waitingForNextScreen_ = false;
  bool screenFull_ = false;
  bool cursorOn_ = false;
  bool revealDue_ = false;
  bool wholePages_ = false;
  bool pageDue_ = false;
  std::atomic<bool> paused_{false};
};

}  // namespace quorvane

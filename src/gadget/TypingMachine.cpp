#include "gadget/TypingMachine.h"

#include <algorithm>

#include "gadget/CharacterBoundaries.h"

namespace quorvane {

TypingMachine::TypingMachine(ScreenHost& host) : host_(host) {}

void TypingMachine::TakeFirstScreen() {
  if (host_.HasFetcher()) currentItem_ = host_.NextItem();
  NextScreen();
}

bool TypingMachine::TypingTick() {
  if (Paused()) return false;
  IncrementFeed();
  return true;
}

void TypingMachine::IncrementFeed() {
  if (waitingForNextScreen_ || screenFull_ || Paused() || RevealDue()) return;
  const std::u16string& text = currentItem_.description;
  if (static_cast<long long>(text.size()) <= typedCount_) {
    StartNextScreenWait();
  } else if (wholePages_) {
    pageDue_ = true;
  } else {
    // A surrogate pair is typed in one tick: half of one would show as a box.
    typedCount_ = static_cast<int>(CodePointEnd(text, static_cast<std::size_t>(std::max(typedCount_, 0))));
  }
}

void TypingMachine::CursorBlink() { cursorOn_ = !cursorOn_; }

// While paused the hold stays: resuming starts its wait afresh.
void TypingMachine::AwakeFeed() {
  if (Paused()) return;
  screenFull_ = false;
  IncrementFeed();
}

bool TypingMachine::NextScreen() {
  if (!host_.HasFetcher() || !needNewScreen_ || Paused()) return false;
  needNewScreen_ = false;
  waitingForNextScreen_ = false;
  typedCount_ = 0;
  pageDue_ = false;
  currentItem_ = host_.NextItem();
  if (IsStatusItem(currentItem_)) needNewScreen_ = true;
  return true;
}

void TypingMachine::ShowNextHeadline() {
  if (host_.HasFetcher()) ShowRecord(host_.NextItem());
}

void TypingMachine::ShowPreviousHeadline() {
  if (host_.HasFetcher()) ShowRecord(host_.PreviousItem());
}

// A wait thread still running posts later; with no new screen due its
// message is ignored.
// While paused the record's first page is shown whole at the next draw.
void TypingMachine::ShowRecord(FeedItem item) {
  waitingForNextScreen_ = false;
  screenFull_ = false;
  typedCount_ = 0;
  currentItem_ = std::move(item);
  needNewScreen_ = IsStatusItem(currentItem_);
  revealDue_ = Paused();
  pageDue_ = false;
}

void TypingMachine::RevealPage(int count) {
  const std::u16string& text = currentItem_.description;
  count = std::clamp(count, 0, static_cast<int>(text.size()));
  if (revealDue_) {
    revealDue_ = false;
    pageDue_ = false;
    typedCount_ = count;
  } else if (pageDue_) {
    pageDue_ = false;
    // Always onwards: a line the page can never show is typed through.
    typedCount_ = count > typedCount_ ? count : static_cast<int>(CodePointEnd(text, static_cast<std::size_t>(typedCount_)));
  }
}

void TypingMachine::StartNextScreenWait() {
  waitingForNextScreen_ = true;
  needNewScreen_ = true;
  if (!host_.BeginNextScreenWait()) NextScreen();
}

void TypingMachine::StartResumeWait() {
  if (screenFull_ || Paused()) return;
  screenFull_ = true;
  if (!host_.BeginResumeWait()) screenFull_ = false;
}

// Pausing freezes the screen as it is: the running wait ends unposted and
// its flag stays, so resuming starts it again; a hold likewise.
void TypingMachine::TogglePause() {
  if (!Paused()) {
    paused_.store(true, std::memory_order_release);
    host_.EndWaits();
    return;
  }
  paused_.store(false, std::memory_order_release);
  // A record stepped to but never drawn has shown nothing yet.
  if (revealDue_) {
    revealDue_ = false;
    typedCount_ = 0;
  }
  if (screenFull_) {
    screenFull_ = false;
    StartResumeWait();
  }
  if (waitingForNextScreen_) {
    StartNextScreenWait();
  } else if (needNewScreen_) {
    NextScreen();  // the placeholder, or a feed list replaced while paused
  }
}

bool TypingMachine::CursorVisible() const {
  if (Paused()) return false;  // the paused marker stands in for it
  return cursorOn_ || !(screenFull_ || waitingForNextScreen_);
}

}  // namespace quorvane

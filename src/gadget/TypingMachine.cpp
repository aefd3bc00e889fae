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
  IncrementFeed();
  return !Paused();
}

void TypingMachine::IncrementFeed() {
  if (waitingForNextScreen_ || screenFull_) return;
  const std::u16string& text = currentItem_.description;
  if (static_cast<long long>(text.size()) <= typedCount_) {
    StartNextScreenWait();
  } else {
    // A surrogate pair is typed in one tick: half of one would show as a box.
    typedCount_ = static_cast<int>(CodePointEnd(text, static_cast<std::size_t>(std::max(typedCount_, 0))));
  }
}

void TypingMachine::CursorBlink() { cursorOn_ = !cursorOn_; }

void TypingMachine::AwakeFeed() {
  screenFull_ = false;
  IncrementFeed();
}

void TypingMachine::NextScreen() {
  if (!host_.HasFetcher() || !needNewScreen_) return;
  needNewScreen_ = false;
  waitingForNextScreen_ = false;
  typedCount_ = 0;
  currentItem_ = host_.NextItem();
  if (IsStatusItem(currentItem_)) needNewScreen_ = true;
}

void TypingMachine::ShowNextHeadline() {
  if (host_.HasFetcher()) ShowRecord(host_.NextItem());
}

void TypingMachine::ShowPreviousHeadline() {
  if (host_.HasFetcher()) ShowRecord(host_.PreviousItem());
}

// A wait thread still running posts later; with no new screen due its
// message is ignored.
void TypingMachine::ShowRecord(FeedItem item) {
  waitingForNextScreen_ = false;
  screenFull_ = false;
  typedCount_ = 0;
  currentItem_ = std::move(item);
  needNewScreen_ = IsStatusItem(currentItem_);
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

void TypingMachine::TogglePause() {
  const bool nowPaused = !Paused();
  paused_.store(nowPaused, std::memory_order_release);
  if (nowPaused) {
    waitingForNextScreen_ = false;
    screenFull_ = false;
  }
}

std::u16string_view TypingMachine::ScreenText(std::u16string_view pausedText) const {
  if (Paused()) return pausedText;
  return currentItem_.description;
}

bool TypingMachine::CursorVisible() const {
  return cursorOn_ || !(screenFull_ || waitingForNextScreen_ || Paused());
}

}  // namespace quorvane

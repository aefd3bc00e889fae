#pragma once
// What the typing state machine needs from the control that owns it: the
// headline source and the two timed waits. The control implements it with
// its fetcher, its wait threads and its message-only window.
#include "feeds/FeedItem.h"

namespace quorvane {

class ScreenHost {
 public:
  virtual ~ScreenHost() = default;

  // False once the control has no fetcher (teardown); a new screen is then
  // never loaded.
  virtual bool HasFetcher() const { return true; }

  // The next record of the store, round robin, or the placeholder when the
  // store is empty.
  virtual FeedItem NextItem() = 0;

  // The record before the one NextItem handed out last, moving the round
  // robin back to it; the placeholder when the store is empty.
  virtual FeedItem PreviousItem() = 0;

  // Start a thread that waits the delay between feeds and then, unless the
  // control is closing, posts the next-screen message. The machine has set
  // its flags already. Return false if no thread could be started.
  virtual bool BeginNextScreenWait() = 0;

  // Start a thread that ends at once if the display is paused, else waits
  // the delay between feeds and then, unless closing, posts the
  // resume-typing message. Return false if no thread could be started.
  virtual bool BeginResumeWait() = 0;

  // End both waits without their posts (the display was paused).
  virtual void EndWaits() {}
};

}  // namespace quorvane

// The typing automation methods and the wait threads behind the machine.
#include "gadget/GadgetControl.h"

namespace quorvane {
namespace {

// Windows' "Show animations": off, pages appear whole instead of typed.
bool AnimationsShown() {
  BOOL shown = TRUE;
  return !SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &shown, 0) || shown;
}

}  // namespace

// Read at every tick: a container need not pass the setting's change on.
void GadgetControl::OnTypingTick() {
  machine_.SetWholePages(!AnimationsShown());
  if (machine_.TypingTick()) RedrawTyping();  // no redraw while paused
}

HRESULT GadgetControl::IncrementFeed() {
  machine_.IncrementFeed();
  return S_OK;
}

HRESULT GadgetControl::CursorBlink() {
  machine_.CursorBlink();
  return S_OK;
}

HRESULT GadgetControl::AwakeFeed() {
  machine_.AwakeFeed();
  return S_OK;
}

FeedItem GadgetControl::NextItem() { return fetcher_ ? fetcher_->NextItem() : PlaceholderItem(); }

FeedItem GadgetControl::PreviousItem() { return fetcher_ ? fetcher_->PreviousItem() : PlaceholderItem(); }

std::shared_ptr<const FeedOutcomeSnapshot> GadgetControl::FeedOutcomes() const {
  return fetcher_ ? fetcher_->OutcomeSnapshot() : std::make_shared<const FeedOutcomeSnapshot>();
}

void GadgetControl::StepHeadline(bool forward) {
  if (forward) {
    machine_.ShowNextHeadline();
  } else {
    machine_.ShowPreviousHeadline();
  }
  RequestRedraw();  // while paused too: the new record's first page shows at once
  NoteScreen();
}

// The wait reads the delay now, when it begins.
bool GadgetControl::BeginNextScreenWait() {
  return waits_.Start(MSG_NEXT_SCREEN, static_cast<DWORD>(settings_.delayBetweenFeedsMs));
}

// The thread looks at the pause once more as it starts. The machine outlives
// every wait thread: teardown waits for all of them first.
bool GadgetControl::BeginResumeWait() {
  const TypingMachine* machine = &machine_;
  return waits_.Start(MSG_RESUME_TYPING, static_cast<DWORD>(settings_.delayBetweenFeedsMs),
                      [machine] { return machine->Paused(); });
}

}  // namespace quorvane

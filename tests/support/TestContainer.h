#pragma once
// A small ActiveX container of our own for tests (and later a sidebar): a
// top-level window and a ContainerSite. It sites a control, in-place
// activates it in its window (windowed, or windowless if the options allow),
// forwards the window's mouse messages and painting to a windowless
// control, and tears the control down as a host does.
#include <windows.h>
#include <ocidl.h>

#include "ContainerSite.h"
#include "host/com/ComPtr.h"

namespace quorvane::test {

class TestContainer {
 public:
  explicit TestContainer(SiteOptions options = {});
  ~TestContainer();
  TestContainer(const TestContainer&) = delete;
  TestContainer& operator=(const TestContainer&) = delete;

  ContainerSite& Site() { return *site_; }
  HWND Window() const { return window_; }

  // IOleObject::SetClientSite with our site; keeps the control.
  HRESULT Embed(IUnknown* control);
  // Sets our site as the view's advise sink (IViewObject::SetAdvise).
  HRESULT AdviseView();
  // IOleObject::DoVerb(OLEIVERB_INPLACEACTIVATE) in our window.
  HRESULT Activate();
  // What a host does before letting go: Close, drop the view advise, take
  // the site away, release our references.
  void Close();

  // Handles the thread's pending messages, for at most `ms` milliseconds or
  // until `done` says so. Returns whether `done` was met (true without it).
  template <class Done>
  bool PumpUntil(DWORD ms, Done done) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done()) {
      if (GetTickCount64() >= end) return false;
      PumpPending();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
  }
  static void PumpPending();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  ContainerSite* site_ = nullptr;  // one reference held
  ComPtr<IOleObject> control_;
};

}  // namespace quorvane::test

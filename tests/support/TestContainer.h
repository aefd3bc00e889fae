#pragma once
// A small ActiveX container for tests: a top-level window hosting one
// control in the sidebar's own GadgetSite. It takes the steps a host takes
// one at a time (site, advise, activate in place, close), forwards the
// window's mouse and key messages, WM_GETOBJECT and painting to a windowless
// control, and records what the control calls on its site.
#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "win/com/ComPtr.h"
#include "win/window/OwnedWindow.h"
#include "sidebar/GadgetSite.h"

namespace quorvane::test {

struct SiteOptions {
  bool windowless = false;  // CanWindowlessActivate says yes
  bool pluginSite = true;   // answers for the plug-in site and the about box
  RECT position{0, 0, 160, 100};
};

// What the control called on its site, in order (see sidebar::SiteCallListener),
// with the pictures it handed over.
struct SiteCalls {
  std::vector<std::wstring> calls;
  ComPtr<IPicture> icon;          // last SetIcon
  ComPtr<IPicture> aboutPicture;  // last ShowAbout
  std::wstring aboutText;
  int Count(const std::wstring& call) const;
};

class TestContainer final : private sidebar::SiteHost, private sidebar::SiteCallListener {
 public:
  explicit TestContainer(SiteOptions options = {});
  ~TestContainer();
  TestContainer(const TestContainer&) = delete;
  TestContainer& operator=(const TestContainer&) = delete;

  sidebar::GadgetSite& Site() { return *site_.Get(); }
  SiteCalls& Calls() { return calls_; }
  HWND Window() const { return window_.Handle(); }
  // How often the window was asked for a menu from the keyboard
  // (WM_CONTEXTMENU at -1, -1).
  int KeyboardMenus() const { return keyboardMenus_; }

  // IOleObject::SetClientSite with our site; keeps the control.
  HRESULT Embed(IUnknown* control) { return site_->Embed(control); }
  // Sets our site as the view's advise sink (IViewObject::SetAdvise).
  HRESULT AdviseView() { return site_->AdviseView(); }
  // IOleObject::DoVerb(OLEIVERB_INPLACEACTIVATE) in our window.
  HRESULT Activate() { return site_->InPlaceActivate(); }
  // What a host does before letting go: deactivate, Close, drop the view
  // advise, take the site away, release our references.
  void Close() { site_->Detach(); }

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
  // SiteHost
  HWND HostWindow() const override { return window_.Handle(); }
  void OnSiteChanged(sidebar::GadgetSite&) override {}
  void ShowAbout(sidebar::GadgetSite&, IPicture* picture, const std::wstring& text) override;
  void SaveSite(sidebar::GadgetSite&) override {}
  // SiteCallListener
  void OnSiteCall(sidebar::GadgetSite&, std::wstring_view call, IPicture* picture) override;

  LRESULT Handle(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  SiteOptions options_;
  OwnedWindow window_;
  ComPtr<sidebar::GadgetSite> site_;
  SiteCalls calls_;
  int keyboardMenus_ = 0;
};

}  // namespace quorvane::test

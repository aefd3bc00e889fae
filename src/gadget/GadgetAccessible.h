#pragma once
// The gadget's accessible object (Microsoft Active Accessibility), which
// Windows bridges to UI Automation for Narrator and other screen readers: a
// pane named "QuorvaneRSS" with three simple children, the title bar and
// the text area (static text, read-only) and the link bar (a link whose
// value is the headline's link and whose default action opens it as a
// click does). The text area gives the whole description, not only the
// typed part; while paused the pane's description says so.
//
// A part of the control, like its automation parts: its IUnknown is the
// control's, so a container reaches it with QueryInterface(IID_IAccessible)
// and the control's own window hands it out for WM_GETOBJECT.
#include <windows.h>
#include <oleacc.h>

#include "win/ole/AccessibleBase.h"

namespace quorvane {

class GadgetControl;

class GadgetAccessible final : public AccessibleBase {
 public:
  enum Child : LONG { kTitleBar = 1, kTextArea = 2, kLinkBar = 3 };

  explicit GadgetAccessible(GadgetControl& control);
  GadgetAccessible(const GadgetAccessible&) = delete;
  GadgetAccessible& operator=(const GadgetAccessible&) = delete;

  // The object id a windowless gadget answers WM_GETOBJECT for, forwarded by
  // its container, and raises its events with on the container's window:
  // OBJID_CLIENT there is the container's own object, so each gadget takes a
  // positive id of its own (positive ids are free for servers to define),
  // and AccessibleObjectFromEvent finds the gadget's child from the event.
  LONG ObjectId() const { return objectId_; }

  // A new headline is on screen: tells screen readers that the title's and
  // the text's names changed. Nothing while the control is not in place.
  void AnnounceHeadline() const;

  // IUnknown: the control's.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IAccessible
  QUORVANE_ACCESSIBLE_MEMBERS

 private:
  // The window the control is shown in and the object id it answers there:
  // its own window's client object, or the container's window and
  // ObjectId() when windowless. Null when not in place.
  HWND EventWindow(LONG* objectId) const;
  // The screen rectangle of the whole control (CHILDID_SELF) or a child.
  RECT ScreenRect(LONG child) const;

  GadgetControl& control_;
  const LONG objectId_;
};

}  // namespace quorvane

#pragma once
// The accessible object of the sidebar's client area, which its window
// hands out for WM_GETOBJECT: a client named with the window's title whose
// children are the hosted gadgets' own accessible objects, in panel order.
// A gadget without one (it does not answer IID_IAccessible) is left out.
//
// A screen reader may hold the object after the window is gone: the window
// lets go of it with Disconnect, and it then answers nothing.
#include <windows.h>
#include <oleacc.h>

#include <vector>

#include "win/com/ComObject.h"
#include "win/com/ComPtr.h"
#include "win/ole/AccessibleBase.h"

namespace quorvane::sidebar {

class SidebarWindow;

class SidebarAccessible final : public ComObject, public AccessibleBase {
 public:
  SidebarAccessible(IUnknown* outer, SidebarWindow* sidebar);
  QUORVANE_COM_IUNKNOWN

  void Disconnect() { sidebar_ = nullptr; }

  QUORVANE_ACCESSIBLE_MEMBERS

 protected:
  void* FindInterface(REFIID iid) override;

 private:
  // The accessible object of the gadget with child id `id` (1-based), or null.
  ComPtr<IAccessible> Gadget(LONG id) const;
  // The gadgets that have one, in panel order: their slot indices.
  std::vector<size_t> AccessibleGadgets() const;
  // Only the object itself answers here: the gadgets answer for themselves.
  bool IsSelf(const VARIANT& child) const;

  SidebarWindow* sidebar_;
};

}  // namespace quorvane::sidebar

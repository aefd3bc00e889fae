// The sidebar's context menu: the gadget's own items, the feed commands,
// settings, about and exit; and the scripted runs' way to pick an item by
// its text.
#include "sidebar/SidebarWindow.h"

#include <ocidl.h>
#include <olectl.h>
#include <shlobj.h>

#include <algorithm>

#include "win/base/UniqueAny.h"
#include "sidebar/GadgetState.h"
#include "sidebar/SettingsFrame.h"

namespace quorvane::sidebar {
namespace {

std::wstring WithoutAmpersands(std::wstring text) {
  text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
  return text;
}

// A menu text as a script may spell it: no '&', no trailing ellipsis.
std::wstring MenuKey(const std::wstring& text) {
  std::wstring key = WithoutAmpersands(text);
  if (!key.empty() && key.back() == L'\u2026') key.pop_back();
  if (key.size() >= 3 && key.compare(key.size() - 3, 3, L"...") == 0) key.resize(key.size() - 3);
  return key;
}

}  // namespace

HMENU SidebarWindow::BuildMenu(size_t gadget) {
  HMENU menu = CreatePopupMenu();
  if (!menu || gadget >= slots_.size()) return menu;
  IUnknown* control = slots_[gadget].site->Control();
  ComPtr<IContextMenu> own;
  if (control && SUCCEEDED(control->QueryInterface(IID_PPV_ARGS(&own))))
    own->QueryContextMenu(menu, 0, kFirstGadgetCommand, kLastGadgetCommand, CMF_NORMAL);
  if (GetMenuItemCount(menu) > 0) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendFeedItems(menu, control);
  ComPtr<ISpecifyPropertyPages> pages;
  if (control && SUCCEEDED(control->QueryInterface(IID_PPV_ARGS(&pages))))
    AppendMenuW(menu, MF_STRING, kSettingsCommand, L"Settings\u2026");
  ComPtr<IPluginCommand> command;
  if (control && SUCCEEDED(control->QueryInterface(IID_IPluginCommand, reinterpret_cast<void**>(command.GetAddressOf()))))
    AppendMenuW(menu, MF_STRING, kAboutCommand, L"About");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kExitCommand, L"Exit");
  return menu;
}

void SidebarWindow::RunMenuCommand(size_t gadget, UINT command) {
  if (command >= kFirstGadgetCommand && command <= kLastGadgetCommand) {
    RunGadgetCommand(gadget, command);
    return;
  }
  if (command >= kNextHeadlineCommand && command <= kExportFeedsCommand) {
    RunFeedCommand(gadget, command);
    return;
  }
  switch (command) {
    case kSettingsCommand:
      ShowSettings(gadget);
      break;
    case kAboutCommand:
      ShowGadgetAbout(gadget);
      break;
    case kExitCommand:
      Close();
      break;
  }
}

// One of the gadget's own items.
void SidebarWindow::RunGadgetCommand(size_t gadget, UINT command) {
  if (gadget >= slots_.size()) return;
  ComPtr<GadgetSite> site = slots_[gadget].site;
  ComPtr<IContextMenu> own;
  if (!site->Control() || FAILED(site->Control()->QueryInterface(IID_PPV_ARGS(&own)))) return;
  CMINVOKECOMMANDINFO info{};
  info.cbSize = sizeof(info);
  info.hwnd = window_;
  info.lpVerb = MAKEINTRESOURCEA(command - kFirstGadgetCommand);
  info.nShow = SW_SHOWNORMAL;
  own->InvokeCommand(&info);
  // The closed menu uncovers the gadget: show its new state now.
  InvalidateRect(window_, &site->Rect(), FALSE);
  if (HWND child = site->ControlWindow()) InvalidateRect(child, nullptr, FALSE);
}

void SidebarWindow::ShowGadgetAbout(size_t gadget) {
  if (gadget >= slots_.size() || !slots_[gadget].site->Control()) return;
  ComPtr<IPluginCommand> plugin;
  if (SUCCEEDED(slots_[gadget].site->Control()->QueryInterface(
          IID_IPluginCommand, reinterpret_cast<void**>(plugin.GetAddressOf()))))
    plugin->OnCommand(kPluginCommandAbout);
}

void SidebarWindow::ShowMenu(size_t gadget, POINT screenPoint) {
  UniqueMenu menu(BuildMenu(gadget));
  if (!menu) return;
  inModal_ = true;
  SetForegroundWindow(window_);
  const UINT command = static_cast<UINT>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                        screenPoint.x, screenPoint.y, 0, window_, nullptr));
  menu.reset();
  inModal_ = false;
  if (command) RunMenuCommand(gadget, command);
  if (closePending_) Close();
}

bool SidebarWindow::RunMenuItem(size_t gadget, const std::wstring& text) {
  UINT command = 0;
  {
    const UniqueMenu menu(BuildMenu(gadget));
    if (!menu) return false;
    for (int i = 0, n = GetMenuItemCount(menu.get()); i < n && !command; ++i) {
      wchar_t item[256] = {};
      if (GetMenuStringW(menu.get(), i, item, 256, MF_BYPOSITION) > 0 && MenuKey(item) == MenuKey(text))
        command = GetMenuItemID(menu.get(), i);
    }
  }
  if (!command) return false;
  RunMenuCommand(gadget, command);
  return true;
}

std::vector<std::wstring> SidebarWindow::MenuTexts(size_t gadget) {
  std::vector<std::wstring> texts;
  const UniqueMenu menu(BuildMenu(gadget));
  if (!menu) return texts;
  for (int i = 0, n = GetMenuItemCount(menu.get()); i < n; ++i) {
    wchar_t item[256] = {};
    if (GetMenuStringW(menu.get(), i, item, 256, MF_BYPOSITION) <= 0) continue;
    const bool checked = (GetMenuState(menu.get(), i, MF_BYPOSITION) & MF_CHECKED) != 0;
    texts.push_back((checked ? L"*" : L"") + WithoutAmpersands(item));
  }
  return texts;
}

void SidebarWindow::ShowSettings(size_t gadget) {
  if (gadget >= slots_.size() || inModal_) return;
  ComPtr<GadgetSite> site = slots_[gadget].site;
  ComPtr<IUnknown> control(site->Control());
  ComPtr<ISpecifyPropertyPages> specify;
  if (!control || FAILED(control->QueryInterface(IID_PPV_ARGS(&specify)))) return;
  CAUUID pages{};
  if (FAILED(specify->GetPages(&pages))) return;
  const UniqueCoTaskMem<GUID> pageIds(pages.pElems);
  const std::wstring caption = site->Title().empty() ? std::wstring(L"Gadget") : site->Title();
  IUnknown* objects[] = {control.Get()};
  inModal_ = true;
  if (StandardFrameCannotApply())
    ShowSettingsFrame(window_, caption, control.Get(), pages);
  else
    OleCreatePropertyFrame(window_, 0, 0, caption.c_str(), 1, objects, pages.cElems, pages.pElems,
                           LOCALE_USER_DEFAULT, 0, nullptr);
  inModal_ = false;
  // An applied change is saved at once, not only on exit.
  ComPtr<IPersistStreamInit> persist;
  if (site->Control() && SUCCEEDED(control->QueryInterface(IID_PPV_ARGS(&persist))) && persist->IsDirty() == S_OK)
    SaveGadget(IndexOf(*site.Get()));
  if (closePending_) Close();
}

}  // namespace quorvane::sidebar

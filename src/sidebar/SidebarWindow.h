#pragma once
// The sidebar: a narrow, resizable top-level panel that stacks its display
// plug-ins top to bottom, each in a GadgetSite of its own. It routes the
// pointer and keys to windowless gadgets, paints them, builds the gadget
// menu (the gadget's own items; for a gadget with feeds "Next headline",
// "Previous headline", "Feed status…", "Import feeds…" and "Export
// feeds…"; then "Settings…", "About" and "Exit") and saves each gadget's
// state on exit and after every applied settings change.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win/window/OwnedWindow.h"
#include "sidebar/AboutWindow.h"
#include "sidebar/FeedStatusWindow.h"
#include "sidebar/FeedTransfer.h"
#include "sidebar/GadgetFactory.h"
#include "sidebar/GadgetSite.h"
#include "sidebar/SidebarAccessible.h"

namespace quorvane::sidebar {

class SidebarWindow final : public SiteHost {
 public:
  // Menu command ids: the gadget's own items get the range below
  // kFirstSidebarCommand, starting at kFirstGadgetCommand.
  static constexpr UINT kFirstGadgetCommand = 1;
  static constexpr UINT kLastGadgetCommand = 0x3FFF;
  static constexpr UINT kSettingsCommand = 0x4001;
  static constexpr UINT kAboutCommand = 0x4002;
  static constexpr UINT kExitCommand = 0x4003;
  static constexpr UINT kNextHeadlineCommand = 0x4004;
  static constexpr UINT kPreviousHeadlineCommand = 0x4005;
  static constexpr UINT kFeedStatusCommand = 0x4006;
  static constexpr UINT kImportFeedsCommand = 0x4007;
  static constexpr UINT kExportFeedsCommand = 0x4008;

  explicit SidebarWindow(GadgetFactory& factory);
  ~SidebarWindow();
  SidebarWindow(const SidebarWindow&) = delete;
  SidebarWindow& operator=(const SidebarWindow&) = delete;

  bool Create();
  HWND Window() const { return window_; }

  // Creates, sites, loads (from `statePath`, new when there is no file)
  // and activates a gadget at the bottom of the panel.
  HRESULT AddGadget(REFCLSID clsid, const std::wstring& statePath);
  // Deactivates, closes and lets go of a gadget without saving it.
  void RemoveGadget(size_t index);
  size_t GadgetCount() const { return slots_.size(); }
  GadgetSite& Gadget(size_t index) const { return *slots_[index].site.Get(); }
  const CLSID& GadgetClass(size_t index) const { return slots_[index].clsid; }
  // Sizes the panel to its gadgets at their default sizes and shows it at
  // the right edge of the work area.
  void FitAndShow(int showCommand);

  // The gadget menu, as the right click shows it (the caller destroys it).
  HMENU BuildMenu(size_t gadget);
  void RunMenuCommand(size_t gadget, UINT command);
  // Runs the menu item whose text is `text` (without '&'); false if none.
  bool RunMenuItem(size_t gadget, const std::wstring& text);
  // Texts of the menu's items, a '*' before checked ones.
  std::vector<std::wstring> MenuTexts(size_t gadget);

  void ShowSettings(size_t gadget);

  // The feed commands (SidebarFeedCommands.cpp). Import and export take the
  // file from the standard dialogs when `path` is empty and report in a
  // message box when `showReport`; an import is saved at once.
  void ShowFeedStatus(size_t gadget);
  TransferReport ImportFeeds(size_t gadget, std::wstring path, bool showReport);
  TransferReport ExportFeeds(size_t gadget, std::wstring path, bool showReport);
  const FeedStatusWindow& FeedStatus() const { return feedStatus_; }
  const std::wstring& LastTransferReport() const { return lastReport_; }
  HRESULT SaveGadget(size_t gadget);
  // Saves every gadget and closes the panel (later if a modal frame is up).
  void Close();

  // The gadget that has the keyboard focus, or null (SidebarFocus.cpp).
  GadgetSite* FocusedGadget() const;

  const AboutWindow& About() const { return about_; }
  const GadgetFactory& Factory() const { return factory_; }
  // The period of the panel's timer, which keeps the status window current.
  static constexpr UINT kTickMs = 50;

  // SiteHost
  HWND HostWindow() const override { return window_; }
  void OnSiteChanged(GadgetSite& site) override;
  void ShowAbout(GadgetSite& site, IPicture* picture, const std::wstring& text) override;
  void SaveSite(GadgetSite& site) override;

 private:
  struct Slot {
    CLSID clsid;
    std::wstring statePath;
    ComPtr<GadgetSite> site;
    FeedTitles feedTitles;  // titles given to its feeds by an import
  };

  LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  // Parts of Handle: true when the message was handled (`result` set).
  bool OnPointer(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool OnWheel(WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool OnSetCursor(WPARAM wParam, LPARAM lParam);
  void OnContextMenu(LPARAM lParam);
  void OnMinMaxInfo(MINMAXINFO& info) const;
  void OnDpiChanged(int dpi, const RECT& suggested);
  // `pixels` at 96 dpi at the panel's dpi.
  int Scaled(int pixels) const;
  // Parts of RunMenuCommand.
  void RunGadgetCommand(size_t gadget, UINT command);
  void ShowGadgetAbout(size_t gadget);
  void Layout();
  void Paint();
  // The windowless gadget that gets a pointer message at `point` (client
  // coordinates): the one holding the capture, else the one under it.
  GadgetSite* PointerTarget(POINT point) const;
  GadgetSite* FocusTarget() const;
  int GadgetAt(POINT clientPoint) const;
  void ShowMenu(size_t gadget, POINT screenPoint);
  // Keys, focus and WM_GETOBJECT (SidebarFocus.cpp).
  void FocusGadget(GadgetSite* target);
  void MoveFocus(bool forward);
  void HideFocusCues();
  void ShowFocusCues();
  void OnUiState(WPARAM change);
  // WM_SYSCOLORCHANGE, WM_SETTINGCHANGE: passed on to every gadget.
  void PassOnSystemChange(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnKey(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
  void LetGoOfAccessible();
  // The feed items of the menu, for a gadget that has them, and their
  // commands (SidebarFeedCommands.cpp).
  void AppendFeedItems(HMENU menu, IUnknown* control);
  void RunFeedCommand(size_t gadget, UINT command);
  void StepHeadline(size_t gadget, bool forward);
  // The file the user picks in the standard open or save dialog; empty
  // when cancelled.
  std::wstring PickOpmlFile(bool save);
  // Import or export of a gadget's feed list as OPML, to or from `path` (or
  // a file the user picks when it is empty).
  TransferReport TransferFeeds(size_t gadget, std::wstring path, bool showReport, bool exporting);
  void Report(const TransferReport& report, bool showReport);
  size_t IndexOf(const GadgetSite& site) const;
  void DetachAll();

  GadgetFactory& factory_;
  OwnedWindow frame_;
  HWND window_ = nullptr;  // frame_'s, from WM_NCCREATE through WM_NCDESTROY
  std::vector<Slot> slots_;
  AboutWindow about_;
  FeedStatusWindow feedStatus_;
  std::wstring lastReport_;
  int statusTicks_ = 0;
  // The tick timer runs only while the status window is open: an idle
  // panel does not wake up 20 times a second.
  void KeepTicking();
  bool ticking_ = false;
  bool inModal_ = false;
  bool closePending_ = false;
  bool closed_ = false;
  HICON icon_ = nullptr;  // the first gadget's, owned by its site
  int dpi_ = 96;          // of the monitor the panel is on
  ComPtr<SidebarAccessible> accessible_;  // made at the first WM_GETOBJECT
  bool focusCues_ = false;                // the focus rectangle shows
};

}  // namespace quorvane::sidebar

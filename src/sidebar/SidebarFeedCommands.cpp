// The sidebar's feed commands for a gadget that offers IQuorvaneRSSFeeds:
// next and previous headline, the feed status window, and the feed list's
// import from and export to OPML.
#include "sidebar/SidebarWindow.h"

#include <commdlg.h>

#include <utility>

#include "QuorvaneRSS_h.h"
#include "sidebar/GadgetState.h"

namespace quorvane::sidebar {

void SidebarWindow::AppendFeedItems(HMENU menu, IUnknown* control) {
  ComPtr<IQuorvaneRSSFeeds> feeds;
  if (!control || FAILED(control->QueryInterface(IID_PPV_ARGS(&feeds)))) return;
  AppendMenuW(menu, MF_STRING, kNextHeadlineCommand, L"Next headline");
  AppendMenuW(menu, MF_STRING, kPreviousHeadlineCommand, L"Previous headline");
  AppendMenuW(menu, MF_STRING, kFeedStatusCommand, L"Feed status\u2026");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kImportFeedsCommand, L"Import feeds\u2026");
  AppendMenuW(menu, MF_STRING, kExportFeedsCommand, L"Export feeds\u2026");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
}

void SidebarWindow::RunFeedCommand(size_t gadget, UINT command) {
  switch (command) {
    case kNextHeadlineCommand: StepHeadline(gadget, true); break;
    case kPreviousHeadlineCommand: StepHeadline(gadget, false); break;
    case kFeedStatusCommand: ShowFeedStatus(gadget); break;
    case kImportFeedsCommand: ImportFeeds(gadget, {}, true); break;
    case kExportFeedsCommand: ExportFeeds(gadget, {}, true); break;
  }
}

void SidebarWindow::StepHeadline(size_t gadget, bool forward) {
  if (gadget >= slots_.size() || !slots_[gadget].site->Control()) return;
  ComPtr<IQuorvaneRSSFeeds> feeds;
  if (FAILED(slots_[gadget].site->Control()->QueryInterface(IID_PPV_ARGS(&feeds)))) return;
  if (forward) {
    feeds->NextHeadline();
  } else {
    feeds->PreviousHeadline();
  }
}

void SidebarWindow::ShowFeedStatus(size_t gadget) {
  if (gadget < slots_.size()) feedStatus_.Show(window_, slots_[gadget].site->Control(), slots_[gadget].feedTitles);
  KeepTicking();
}

std::wstring SidebarWindow::PickOpmlFile(bool save) {
  wchar_t file[MAX_PATH] = {};
  if (save) wcscpy(file, L"feeds.opml");
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = window_;
  dialog.lpstrFilter = L"OPML files (*.opml, *.xml)\0*.opml;*.xml\0All files\0*.*\0";
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrDefExt = L"opml";
  dialog.lpstrTitle = save ? L"Export feeds" : L"Import feeds";
  dialog.Flags = OFN_NOCHANGEDIR | OFN_EXPLORER | OFN_HIDEREADONLY | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  inModal_ = true;
  const BOOL picked = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  inModal_ = false;
  return picked ? std::wstring(file) : std::wstring();
}

void SidebarWindow::Report(const TransferReport& report, bool showReport) {
  lastReport_ = report.message;
  if (!showReport) return;
  inModal_ = true;
  MessageBoxW(window_, report.message.c_str(), L"QuorvaneRSS", MB_OK | (report.ok ? MB_ICONINFORMATION : MB_ICONWARNING));
  inModal_ = false;
}

TransferReport SidebarWindow::ImportFeeds(size_t gadget, std::wstring path, bool showReport) {
  return TransferFeeds(gadget, std::move(path), showReport, false);
}

TransferReport SidebarWindow::ExportFeeds(size_t gadget, std::wstring path, bool showReport) {
  return TransferFeeds(gadget, std::move(path), showReport, true);
}

TransferReport SidebarWindow::TransferFeeds(size_t gadget, std::wstring path, bool showReport, bool exporting) {
  if (gadget >= slots_.size() || inModal_) return {};
  ComPtr<GadgetSite> site = slots_[gadget].site;
  if (path.empty()) path = PickOpmlFile(exporting);
  if (path.empty() || !site->Control()) return {};
  Slot& slot = slots_[gadget];
  const TransferReport report = exporting ? ExportOpml(site->Control(), path, slot.feedTitles)
                                          : ImportOpml(site->Control(), path, slot.feedTitles);
  // An imported list is saved at once, like an applied settings change.
  if (report.ok && !exporting) {
    SaveGadget(IndexOf(*site.Get()));
    SaveFeedTitlesFile(slot.feedTitles, slot.statePath);
  }
  Report(report, showReport);
  if (closePending_) Close();
  return report;
}

}  // namespace quorvane::sidebar

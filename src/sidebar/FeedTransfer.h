#pragma once
// Moves QuorvaneRSS's feed list in and out of OPML files, through the
// gadget's automation interfaces (IQuorvaneRSSGadget for the list,
// IQuorvaneRSSFeeds for the feeds' titles).
#include <windows.h>
#include <unknwn.h>

#include <string>

namespace quorvane::sidebar {

struct TransferReport {
  bool ok = false;
  std::wstring message;  // what was done, or why nothing was
};

// Appends the feeds of the file that pass the settings page's check and
// are not listed yet. A damaged or hostile file changes nothing.
TransferReport ImportOpml(IUnknown* control, const std::wstring& path);
// One outline per listed feed, titled with the feed's last known title.
TransferReport ExportOpml(IUnknown* control, const std::wstring& path);

}  // namespace quorvane::sidebar

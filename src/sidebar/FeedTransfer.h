#pragma once
// Moves QuorvaneRSS's feed list in and out of OPML files, through the
// gadget's automation interfaces (IQuorvaneRSSGadget for the list,
// IQuorvaneRSSFeeds for the feeds' titles).
#include <windows.h>
#include <unknwn.h>

#include <string>

#include "settings/FeedTitles.h"

namespace quorvane::sidebar {

struct TransferReport {
  bool ok = false;
  std::wstring message;  // what was done, or why nothing was
};

// Appends the feeds of the file whose addresses pass the address check
// (completed as it completes them) and are not listed yet; their outline
// titles go to `titles`. The report counts what was skipped and says why.
// A damaged or hostile file changes nothing.
TransferReport ImportOpml(IUnknown* control, const std::wstring& path, FeedTitles& titles);
// One outline per listed feed, titled with the feed's last known title,
// else its title in `titles`, else its address.
TransferReport ExportOpml(IUnknown* control, const std::wstring& path, const FeedTitles& titles);

}  // namespace quorvane::sidebar

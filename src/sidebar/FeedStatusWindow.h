#pragma once
// "Feed status…": a window that lists every feed of QuorvaneRSS with its
// address (the feed's title once known), state, headline count, last
// success and the reason it failed, read through IQuorvaneRSSFeeds. It
// follows the gadget: Refresh, called on the sidebar's tick, asks
// IQuorvaneRSSFeedStatus whether any outcome changed, and only then re-reads
// them and redraws the rows that differ.
#include <windows.h>

#include <string>
#include <vector>

#include "QuorvaneRSS_h.h"
#include "settings/FeedTitles.h"
#include "win/com/ComPtr.h"
#include "win/base/UniqueAny.h"
#include "win/window/OwnedWindow.h"

namespace quorvane::sidebar {

class FeedStatusWindow {
 public:
  using Row = std::vector<std::wstring>;  // feed, address, state, headlines, last success, reason

  FeedStatusWindow() = default;
  ~FeedStatusWindow();
  FeedStatusWindow(const FeedStatusWindow&) = delete;
  FeedStatusWindow& operator=(const FeedStatusWindow&) = delete;

  // Opens the window for `control` (or brings it forward); false if the
  // control has no feed outcomes to show. A feed whose own title is not
  // known yet shows its title in `titles`, else its address.
  bool Show(HWND owner, IUnknown* control, const FeedTitles& titles = {});
  void Close();
  HWND Window() const { return window_.Handle(); }
  void Refresh();
  const std::vector<Row>& Rows() const { return rows_; }

 private:
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Lets go of the gadget and the rows once the window is gone.
  void Forget();
  std::vector<Row> ReadRows() const;
  void Fill(const std::vector<Row>& rows);
  void FitToDpi(int dpi);

  ComPtr<IQuorvaneRSSFeeds> feeds_;
  ComPtr<IQuorvaneRSSFeedStatus> status_;  // none for a gadget without it: then every tick re-reads
  LONG generation_ = 0;
  bool read_ = false;  // generation_ is the one rows_ were read at
  FeedTitles titles_;
  UniqueFont font_;  // the list's: freed after the window
  OwnedWindow window_;
  HWND list_ = nullptr;
  std::vector<Row> rows_;
};

}  // namespace quorvane::sidebar

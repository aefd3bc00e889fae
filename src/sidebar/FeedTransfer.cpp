#include "sidebar/FeedTransfer.h"

#include <map>

#include "QuorvaneRSS_h.h"
#include "win/com/ComPtr.h"
#include "settings/FeedList.h"
#include "settings/OpmlDocument.h"
#include "sidebar/OpmlFile.h"

namespace quorvane::sidebar {
namespace {

std::wstring FileName(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring Count(size_t n, const wchar_t* one, const wchar_t* many) {
  return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

std::vector<std::u16string> ListedFeeds(IQuorvaneRSSGadget* gadget) {
  UniqueBstr list;
  if (FAILED(gadget->get_FeedURLs(list.out()))) return {};
  return SplitFeedList(list.str());
}

// The last known title of each feed the gadget has read.
std::map<std::u16string, std::u16string> FeedTitles(IUnknown* control) {
  std::map<std::u16string, std::u16string> titles;
  ComPtr<IQuorvaneRSSFeeds> feeds;
  LONG count = 0;
  if (FAILED(control->QueryInterface(IID_PPV_ARGS(&feeds))) || FAILED(feeds->get_FeedCount(&count))) return titles;
  for (LONG i = 0; i < count; ++i) {
    UniqueBstr url, title;
    if (SUCCEEDED(feeds->get_FeedUrl(i, url.out())) && SUCCEEDED(feeds->get_FeedTitle(i, title.out())) &&
        !title.str().empty())
      titles[url.str()] = title.str();
  }
  return titles;
}

}  // namespace

TransferReport ImportOpml(IUnknown* control, const std::wstring& path) {
  ComPtr<IQuorvaneRSSGadget> gadget;
  if (!control || FAILED(control->QueryInterface(IID_PPV_ARGS(&gadget))))
    return {false, L"The gadget has no feed list to import into."};
  const OpmlFeeds file = ReadOpmlFile(path);
  if (!file.error.empty()) return {false, L"Nothing was imported from " + FileName(path) + L". " + file.error};
  const FeedListMerge merge = MergeFeedUrls(ListedFeeds(gadget.Get()), file.urls);
  if (merge.added > 0) {
    UniqueBstr value(JoinFeedList(merge.urls));
    if (FAILED(gadget->put_FeedURLs(value.get()))) return {false, L"The gadget did not take the new feed list."};
  }
  std::wstring message = L"Imported from " + FileName(path) + L": " + Count(merge.added, L"feed", L"feeds") +
                         L" added, " + std::to_wstring(merge.skipped) + L" skipped";
  if (merge.skipped) message += L" (already listed or not a feed address)";
  return {true, message + L"."};
}

TransferReport ExportOpml(IUnknown* control, const std::wstring& path) {
  ComPtr<IQuorvaneRSSGadget> gadget;
  if (!control || FAILED(control->QueryInterface(IID_PPV_ARGS(&gadget))))
    return {false, L"The gadget has no feed list to export."};
  const std::map<std::u16string, std::u16string> titles = FeedTitles(control);
  std::vector<OpmlFeed> feeds;
  for (std::u16string& url : ListedFeeds(gadget.Get())) {
    const auto title = titles.find(url);
    feeds.push_back(OpmlFeed{title != titles.end() ? title->second : url, std::move(url)});
  }
  const std::wstring error = WriteWholeFile(path, OpmlDocument(feeds));
  if (!error.empty()) return {false, L"Cannot write " + FileName(path) + L": " + error + L"."};
  return {true, L"Exported " + Count(feeds.size(), L"feed", L"feeds") + L" to " + FileName(path) + L"."};
}

}  // namespace quorvane::sidebar

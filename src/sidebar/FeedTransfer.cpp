#include "sidebar/FeedTransfer.h"


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
FeedTitles ReadFeedTitles(IUnknown* control) {
  FeedTitles titles;
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

TransferReport ImportOpml(IUnknown* control, const std::wstring& path, FeedTitles& titles) {
  ComPtr<IQuorvaneRSSGadget> gadget;
  if (!control || FAILED(control->QueryInterface(IID_PPV_ARGS(&gadget))))
    return {false, L"The gadget has no feed list to import into."};
  const OpmlFeeds file = ReadOpmlFile(path);
  if (!file.error.empty()) return {false, L"Nothing was imported from " + FileName(path) + L". " + file.error};
  const FeedListMerge merge = MergeFeeds(ListedFeeds(gadget.Get()), file.feeds);
  if (!merge.added.empty()) {
    UniqueBstr value(JoinFeedList(merge.urls));
    if (FAILED(gadget->put_FeedURLs(value.get()))) return {false, L"The gadget did not take the new feed list."};
    for (const OpmlFeed& feed : merge.added)
      if (!feed.title.empty()) titles[feed.url] = feed.title;
  }
  std::wstring message = L"Imported from " + FileName(path) + L": " + Count(merge.added.size(), L"feed", L"feeds") +
                         L" added, " + std::to_wstring(merge.Skipped()) + L" skipped";
  if (merge.Skipped()) {
    message += L":";
    if (merge.alreadyListed) message += L"\n" + std::to_wstring(merge.alreadyListed) + L" already listed";
    for (const std::u16string& why : merge.refused) message += L"\n" + std::wstring(Wide(why));
  } else {
    message += L".";
  }
  return {true, message};
}

TransferReport ExportOpml(IUnknown* control, const std::wstring& path, const FeedTitles& kept) {
  ComPtr<IQuorvaneRSSGadget> gadget;
  if (!control || FAILED(control->QueryInterface(IID_PPV_ARGS(&gadget))))
    return {false, L"The gadget has no feed list to export."};
  const FeedTitles titles = ReadFeedTitles(control);
  std::vector<OpmlFeed> feeds;
  for (std::u16string& url : ListedFeeds(gadget.Get())) {
    std::u16string title = url;
    if (const auto read = titles.find(url); read != titles.end()) {
      title = read->second;
    } else if (const auto given = kept.find(url); given != kept.end()) {
      title = given->second;
    }
    feeds.push_back(OpmlFeed{std::move(title), std::move(url)});
  }
  const std::wstring error = WriteWholeFile(path, OpmlDocument(feeds));
  if (!error.empty()) return {false, L"Cannot write " + FileName(path) + L": " + error + L"."};
  return {true, L"Exported " + Count(feeds.size(), L"feed", L"feeds") + L" to " + FileName(path) + L"."};
}

}  // namespace quorvane::sidebar

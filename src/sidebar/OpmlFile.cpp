#include "sidebar/OpmlFile.h"

#include <windows.h>

#include "feeds/EntityCheck.h"
#include "feeds/FeedDecoding.h"
#include "feeds/XmlDocument.h"
#include "win/base/UniqueHandle.h"

namespace quorvane::sidebar {
namespace {

std::wstring SystemError(DWORD code) {
  wchar_t text[256] = {};
  if (!FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, 256, nullptr))
    return L"error " + std::to_wstring(code);
  std::wstring message = text;
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.'))
    message.pop_back();
  return message;
}

}  // namespace

std::wstring ReadWholeFile(const std::wstring& path, std::string& bytes) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return L"The file cannot be opened: " + SystemError(GetLastError()) + L".";
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return L"The file cannot be read: " + SystemError(GetLastError()) + L".";
  if (static_cast<unsigned long long>(size.QuadPart) > kMaxOpmlBytes)
    return L"The file is larger than 4 MB; no list of feeds is that long.";
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() && (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                         read != bytes.size()))
    return L"The file cannot be read: " + SystemError(GetLastError()) + L".";
  return {};
}

namespace {

bool IsOutline(IXMLDOMNode* node) {
  return NodeType(node) == NODE_ELEMENT && LocalName(node) == u"outline" && NamespaceOf(node).empty();
}

// Every outline with an xmlUrl, at any depth, in document order, with its
// text (else its title): one walk of the tree from node to node. (A node
// list found by "//outline" costs MSXML a walk from its start for each item
// taken by index.)
std::vector<OpmlFeed> OutlineFeeds(IXMLDOMNode* root) {
  std::vector<OpmlFeed> feeds;
  ComPtr<IXMLDOMNode> node = FirstChildNode(root);
  for (size_t depth = 1; node;) {
    if (IsOutline(node.Get())) {
      std::u16string url = AttributeText(node.Get(), L"xmlUrl");
      if (!url.empty()) {
        std::u16string title = AttributeText(node.Get(), L"text");
        if (title.empty()) title = AttributeText(node.Get(), L"title");
        feeds.push_back(OpmlFeed{std::move(title), std::move(url)});
      }
    }
    if (ComPtr<IXMLDOMNode> child = FirstChildNode(node.Get())) {
      node = child;
      ++depth;
      continue;
    }
    // Up until there is a next sibling, or back at the root.
    while (node) {
      if (ComPtr<IXMLDOMNode> sibling = NextSiblingNode(node.Get())) {
        node = sibling;
        break;
      }
      if (--depth == 0) return feeds;
      node = ParentNode(node.Get());
    }
  }
  return feeds;
}

}  // namespace

OpmlFeeds ReadOpmlFile(const std::wstring& path) {
  OpmlFeeds result;
  std::string bytes;
  result.error = ReadWholeFile(path, bytes);
  if (!result.error.empty()) return result;
  const std::u16string text = DecodeFeedBody(bytes);
  if (HasUnsafeEntities(text)) {
    result.error = L"The file declares entities that would reach outside it or expand without bound; it is not read.";
    return result;
  }
  XmlDocument document;
  if (!document.Exists()) {
    result.error = L"No XML parser is available.";
    return result;
  }
  const std::u16string_view refused = document.Load(text);
  if (!refused.empty()) {
    result.error = refused == kXmlError ? L"The file is not well-formed XML."
                                        : L"The file is refused: " + std::wstring(refused.begin(), refused.end()) + L".";
    return result;
  }
  ComPtr<IXMLDOMElement> root;
  if (document.Get()->get_documentElement(root.GetAddressOf()) != S_OK || !root || LocalName(root.Get()) != u"opml") {
    result.error = L"The file is XML but not OPML.";
    return result;
  }
  result.feeds = OutlineFeeds(root.Get());
  return result;
}

std::wstring WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return SystemError(GetLastError());
  DWORD written = 0;
  if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size())
    return SystemError(GetLastError());
  return {};
}

}  // namespace quorvane::sidebar

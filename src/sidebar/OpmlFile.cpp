#include "sidebar/OpmlFile.h"

#include <windows.h>

#include "feeds/EntityCheck.h"
#include "feeds/FeedDecoding.h"
#include "feeds/XmlDocument.h"
#include "win/com/UniqueHandle.h"

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
  if (!document.Load(text)) {
    result.error = L"The file is not well-formed XML.";
    return result;
  }
  ComPtr<IXMLDOMElement> root;
  if (document.Get()->get_documentElement(root.GetAddressOf()) != S_OK || !root || LocalName(root.Get()) != u"opml") {
    result.error = L"The file is XML but not OPML.";
    return result;
  }
  ComPtr<IXMLDOMNodeList> outlines;
  UniqueBstr query(L"//outline");
  long count = 0;
  if (document.Get()->selectNodes(query.get(), outlines.GetAddressOf()) == S_OK && outlines) outlines->get_length(&count);
  for (long i = 0; i < count; ++i) {
    ComPtr<IXMLDOMNode> outline;
    if (outlines->get_item(i, outline.GetAddressOf()) != S_OK || !outline) continue;
    std::u16string url = AttributeText(outline.Get(), L"xmlUrl");
    if (url.empty()) continue;
    std::u16string title = AttributeText(outline.Get(), L"text");
    if (title.empty()) title = AttributeText(outline.Get(), L"title");
    result.feeds.push_back(OpmlFeed{std::move(title), std::move(url)});
  }
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

#pragma once
// Text that many headline records carry (a feed's title, its time stamp):
// held once, immutable, and shared by reference count, so copying a record
// never copies it. Immutable storage may be read from any thread; the count
// is atomic.
#include <memory>
#include <string>
#include <string_view>

namespace quorvane {

class SharedText {
 public:
  SharedText() = default;
  SharedText(std::u16string text)  // NOLINT: a text converts, as a string would
      : text_(text.empty() ? nullptr : std::make_shared<const std::u16string>(std::move(text))) {}
  SharedText(const char16_t* text) : SharedText(std::u16string(text)) {}  // NOLINT

  const std::u16string& str() const { return text_ ? *text_ : Empty(); }
  operator const std::u16string&() const { return str(); }  // NOLINT: reads like the string it holds
  operator std::u16string_view() const { return str(); }    // NOLINT
  bool empty() const { return str().empty(); }
  size_t size() const { return str().size(); }
  std::u16string::const_iterator begin() const { return str().begin(); }
  std::u16string::const_iterator end() const { return str().end(); }

  bool operator==(const SharedText& other) const { return text_ == other.text_ || str() == other.str(); }
  bool operator==(std::u16string_view other) const { return str() == other; }
  bool operator==(const char16_t* other) const { return str() == other; }

 private:
  static const std::u16string& Empty() {
    static const std::u16string empty;
    return empty;
  }
  std::shared_ptr<const std::u16string> text_;
};

}  // namespace quorvane

#include "gadget/WebLink.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(WebLink, OpensOnlyHttpAndHttpsWhateverTheCase) {
  for (const char16_t* link : {u"http://example.com/a?b=c&d=e#f", u"https://example.com/", u"HTTP://EXAMPLE.COM",
                               u"hTtPs://x", u"http://x/%22%20"})
    EXPECT_TRUE(IsWebLink(link)) << std::u16string_view(link).size();
}

TEST(WebLink, RefusesLocalProgramsScriptsAndEmptyLinks) {
  for (const char16_t* link :
       {u"", u"http://", u"https://", u"http:/x", u"http:x", u"file:///C:/Windows/System32/cmd.exe",
        u"C:\\tools\\x.exe", u"\\\\host\\share\\x.exe", u"javascript:alert(1)", u"ftp://x/", u"mailto:a@b",
        u"httpx://x", u" http://x", u"shell:startup", u"x.exe http://y"})
    EXPECT_FALSE(IsWebLink(link)) << std::u16string_view(link).size();
}

TEST(WebLink, RefusesTextThatWouldLeaveTheBrowsersArgument) {
  for (const char16_t* link : {u"http://x/\" --flag \"", u"http://x/ y", u"http://x/\ty", u"http://x/\ny",
                               u"http://x/\x7f"})
    EXPECT_FALSE(IsWebLink(link));
}

}  // namespace
}  // namespace quorvane

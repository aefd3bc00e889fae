// Relative links of Atom entries, resolved as a browser would.
#include <gtest/gtest.h>

#include "feeds/RelativeUrl.h"

namespace quorvane {
namespace {

TEST(RelativeUrlTest, ResolvesTheReferenceExamplesOfRfc3986) {
  const std::u16string base = u"http://a/b/c/d;p?q";
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"g", u"http://a/b/c/g"},          {u"./g", u"http://a/b/c/g"},      {u"g/", u"http://a/b/c/g/"},
      {u"/g", u"http://a/g"},             {u"//g", u"http://g"},            {u"?y", u"http://a/b/c/d;p?y"},
      {u"g?y#s", u"http://a/b/c/g?y#s"},  {u"#s", u"http://a/b/c/d;p?q#s"}, {u"", u"http://a/b/c/d;p?q"},
      {u"..", u"http://a/b/"},            {u"../../g", u"http://a/g"},      {u"../../../../g", u"http://a/g"},
      {u"g/./h/../i", u"http://a/b/c/g/i"}, {u"https://x/y", u"https://x/y"}, {u"mailto:n@x.org", u"mailto:n@x.org"},
  };
  for (const auto& [reference, expected] : cases) EXPECT_EQ(ResolveUrl(base, reference), expected);
  // No base (a local file): kept as written; a base without a path.
  EXPECT_EQ(ResolveUrl(u"", u"../posts/1"), u"../posts/1");
  EXPECT_EQ(ResolveUrl(u"http://host", u"p/1"), u"http://host/p/1");
}

}  // namespace
}  // namespace quorvane

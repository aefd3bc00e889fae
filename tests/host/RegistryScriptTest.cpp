// The registration script format: nesting, kinds, texts and variables, and
// the errors that must stop a script before it touches the registry.
#include "host/registration/RegistryScript.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using Kind = RegistryScriptKey::Kind;

const RegistryScriptVariables kVariables{{u"MODULE", u"C:\\dir\\it's.dll"}, {u"APPID", u"{A}"}};

TEST(RegistryScriptTest, ParsesNestedKeysValuesAndTexts) {
  const RegistryScriptParse script = ParseRegistryScript(
      u"# comment\r\n"
      u"key Thing.1 = 'Thing Class'\r\n"
      u"  key CLSID = '{C}'\r\n"
      u"\r\n"
      u"keep CLSID\n"
      u"    replace '{C}' = 'It''s 100%% %APPID%'\n"
      u"      key InprocServer32 = '%MODULE%'   \n"
      u"        value ThreadingModel = 'Apartment'\n"
      u"      value AppID = '%APPID%'\n"
      u"      key Control\n"
      u"      key MiscStatus = '0'\n"
      u"        key 1 = '131473'",
      kVariables);
  ASSERT_TRUE(script.ok()) << script.errorLine << ": " << script.error;
  ASSERT_EQ(2u, script.keys.size());

  const RegistryScriptKey& progId = script.keys[0];
  EXPECT_EQ(Kind::Key, progId.kind);
  EXPECT_EQ(u"Thing.1", progId.name);
  EXPECT_EQ(u"Thing Class", progId.text);
  ASSERT_EQ(1u, progId.subkeys.size());
  EXPECT_EQ(u"{C}", progId.subkeys[0].text);

  const RegistryScriptKey& root = script.keys[1];
  EXPECT_EQ(Kind::Keep, root.kind);
  EXPECT_FALSE(root.text);
  ASSERT_EQ(1u, root.subkeys.size());
  const RegistryScriptKey& clsid = root.subkeys[0];
  EXPECT_EQ(Kind::Replace, clsid.kind);
  EXPECT_EQ(u"{C}", clsid.name);
  EXPECT_EQ(u"It's 100% {A}", clsid.text);
  ASSERT_EQ(3u, clsid.subkeys.size());
  EXPECT_EQ(u"C:\\dir\\it's.dll", clsid.subkeys[0].text) << "substituted text is not re-read as quotes";
  ASSERT_EQ(1u, clsid.subkeys[0].values.size());
  EXPECT_EQ(u"ThreadingModel", clsid.subkeys[0].values[0].first);
  EXPECT_EQ(u"Apartment", clsid.subkeys[0].values[0].second);
  ASSERT_EQ(1u, clsid.values.size()) << "a value after a nested key still belongs to its own key";
  EXPECT_EQ(u"{A}", clsid.values[0].second);
  EXPECT_FALSE(clsid.subkeys[1].text);
  ASSERT_EQ(1u, clsid.subkeys[2].subkeys.size());
  EXPECT_EQ(u"1", clsid.subkeys[2].subkeys[0].name);
}

TEST(RegistryScriptTest, RejectsBrokenScriptsWithTheLineOfTheFirstError) {
  const struct {
    const char16_t* script;
    size_t line;
  } cases[] = {
      {u"key A = '%NOPE%'", 1},                         // unknown variable
      {u"key A = '%MODULE'", 1},                        // unterminated variable
      {u"key A\n\tkey B", 2},                           // tab indentation
      {u"value V = 'x'", 1},                            // value outside a key
      {u"keep A = 'x'", 1},                             // a kept key carries no text
      {u"create A", 1},                                 // unknown kind
      {u"key A = 'x", 1},                               // unterminated text
      {u"key A = x", 1},                                // unquoted text
      {u"key A 'x'", 1},                                // text without '='
      {u"key A = 'x' y", 1},                            // trailing characters
      {u"key A\\B", 1},                                 // a path instead of one level
      {u"key A\n  value V = 'x'\n    key B", 3},        // nested under a value
      {u"key A\n    key B\n  key C", 3},                // inconsistent indentation
      {u"  key A", 1},                                  // indented top-level key
      {u"key A\n  value '' = 'x'", 2},                  // unnamed value
      {u"key\n", 1},                                    // missing name
  };
  for (const auto& c : cases) {
    const RegistryScriptParse script = ParseRegistryScript(c.script, kVariables);
    EXPECT_FALSE(script.ok()) << std::string(c.script, c.script + std::char_traits<char16_t>::length(c.script));
    EXPECT_EQ(c.line, script.errorLine);
    EXPECT_TRUE(script.keys.empty());
  }
}

}  // namespace
}  // namespace quorvane

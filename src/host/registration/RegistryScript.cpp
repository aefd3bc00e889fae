#include "host/registration/RegistryScript.h"

namespace quorvane {
namespace {

struct ParseError {
  std::string message;
};

class LineReader {
 public:
  LineReader(std::u16string_view line, const RegistryScriptVariables& variables)
      : line_(line), variables_(variables) {}

  void SkipSpaces() {
    while (pos_ < line_.size() && line_[pos_] == u' ') ++pos_;
  }
  bool AtEnd() const { return pos_ == line_.size(); }

  // A bare word of letters, stopping at a space.
  std::u16string_view Word() {
    const size_t start = pos_;
    while (pos_ < line_.size() && line_[pos_] != u' ') ++pos_;
    return line_.substr(start, pos_ - start);
  }

  std::u16string Name() {
    if (pos_ < line_.size() && line_[pos_] == u'\'') return Quoted();
    const size_t start = pos_;
    while (pos_ < line_.size() && !IsNameStop(line_[pos_])) ++pos_;
    if (pos_ == start) throw ParseError{"a name is missing"};
    return Expand(line_.substr(start, pos_ - start));
  }

  // "= 'TEXT'" if it follows, else nothing.
  std::optional<std::u16string> OptionalText() {
    SkipSpaces();
    if (AtEnd()) return std::nullopt;
    if (line_[pos_] != u'=') throw ParseError{"expected '=' or the end of the line"};
    ++pos_;
    SkipSpaces();
    if (AtEnd() || line_[pos_] != u'\'') throw ParseError{"a quoted text must follow '='"};
    std::u16string text = Quoted();
    SkipSpaces();
    if (!AtEnd()) throw ParseError{"unexpected characters after the text"};
    return text;
  }

 private:
  static bool IsNameStop(char16_t c) { return c == u' ' || c == u'=' || c == u'\'' || c == u'#'; }

  std::u16string Quoted() {
    ++pos_;  // the opening quote
    std::u16string raw;
    for (;;) {
      if (pos_ == line_.size()) throw ParseError{"unterminated quoted text"};
      const char16_t c = line_[pos_++];
      if (c != u'\'') {
        raw += c;
      } else if (pos_ < line_.size() && line_[pos_] == u'\'') {
        raw += u'\'';
        ++pos_;
      } else {
        break;
      }
    }
    return Expand(raw);
  }

  std::u16string Expand(std::u16string_view raw) const {
    std::u16string out;
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != u'%') {
        out += raw[i];
        continue;
      }
      const size_t end = raw.find(u'%', i + 1);
      if (end == std::u16string_view::npos) throw ParseError{"a '%' without its closing '%'"};
      const std::u16string_view name = raw.substr(i + 1, end - i - 1);
      if (name.empty()) {
        out += u'%';
      } else {
        const auto found = variables_.find(name);
        if (found == variables_.end()) throw ParseError{"unknown variable"};
        out += found->second;
      }
      i = end;
    }
    return out;
  }

  std::u16string_view line_;
  const RegistryScriptVariables& variables_;
  size_t pos_ = 0;
};

struct OpenKey {
  size_t indent;
  RegistryScriptKey* key;
  std::optional<size_t> childIndent;  // set by the first line below the key
};

void ParseLine(std::u16string_view line, const RegistryScriptVariables& variables, std::vector<OpenKey>& open,
               std::vector<RegistryScriptKey>& top) {
  size_t indent = 0;
  while (indent < line.size() && line[indent] == u' ') ++indent;
  if (indent < line.size() && line[indent] == u'\t') throw ParseError{"indent with spaces, not tabs"};
  if (indent == line.size() || line[indent] == u'#') return;

  while (!open.empty() && open.back().indent >= indent) open.pop_back();
  if (!open.empty() && !open.back().key) throw ParseError{"nothing can be nested under a value"};
  if (!open.empty()) {
    auto& childIndent = open.back().childIndent;
    if (childIndent && *childIndent != indent) throw ParseError{"inconsistent indentation"};
    childIndent = indent;
  } else if (indent != 0) {
    throw ParseError{"a top-level key must not be indented"};
  }

  LineReader reader(line.substr(indent), variables);
  const std::u16string_view word = reader.Word();
  reader.SkipSpaces();
  std::u16string name = reader.Name();
  std::optional<std::u16string> text = reader.OptionalText();

  if (word == u"value") {
    if (open.empty()) throw ParseError{"a value must belong to a key"};
    if (name.empty()) throw ParseError{"a value needs a name; give a key's default with '= TEXT'"};
    if (!text) throw ParseError{"a value needs '= TEXT'"};
    open.back().key->values.emplace_back(std::move(name), std::move(*text));
    // Nothing may be nested under a value.
    open.push_back({indent, nullptr, std::nullopt});
    return;
  }

  RegistryScriptKey key;
  if (word == u"keep") {
    key.kind = RegistryScriptKey::Kind::Keep;
    if (text) throw ParseError{"a kept key takes no text: it outlives the script's other keys"};
  } else if (word == u"key") {
    key.kind = RegistryScriptKey::Kind::Key;
  } else if (word == u"replace") {
    key.kind = RegistryScriptKey::Kind::Replace;
  } else {
    throw ParseError{"expected keep, key, replace or value"};
  }
  if (name.empty() || name.find(u'\\') != std::u16string::npos)
    throw ParseError{"a key name is one non-empty level; nest keys instead of using '\\'"};
  key.name = std::move(name);
  key.text = std::move(text);

  std::vector<RegistryScriptKey>& siblings = open.empty() ? top : open.back().key->subkeys;
  siblings.push_back(std::move(key));
  open.push_back({indent, &siblings.back(), std::nullopt});
}

}  // namespace

RegistryScriptParse ParseRegistryScript(std::u16string_view script, const RegistryScriptVariables& variables) {
  RegistryScriptParse result;
  // Ancestors of the current line. Only the innermost key's subkeys grow,
  // so the pointers held here stay valid.
  std::vector<OpenKey> open;
  size_t lineNumber = 0;
  size_t start = 0;
  while (start <= script.size()) {
    size_t end = script.find(u'\n', start);
    if (end == std::u16string_view::npos) end = script.size();
    std::u16string_view line = script.substr(start, end - start);
    while (!line.empty() && (line.back() == u'\r' || line.back() == u' ')) line.remove_suffix(1);
    ++lineNumber;
    try {
      ParseLine(line, variables, open, result.keys);
    } catch (const ParseError& error) {
      result.keys.clear();
      result.errorLine = lineNumber;
      result.error = error.message;
      return result;
    }
    start = end + 1;
  }
  return result;
}

}  // namespace quorvane

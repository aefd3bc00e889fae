#include "text/HeadlineCleanup.h"

#include <string_view>
#include <vector>

#include "text/CharacterReferences.h"
#include "text/EntityTable.h"
#include "text/FindUnit.h"
#include "text/InlineTags.h"
#include "text/PatternProgram.h"
#include "text/PatternReplace.h"
#include "text/WideStringOps.h"

namespace quorvane {
namespace {

// The fixed patterns, compiled once and shared read-only between threads
// (a search never changes its program).
struct CleanupPrograms {
  PatternProgram tables, tags, spaces, hyphens, spacedHyphens, commas;

  CleanupPrograms() {
    tables.CompilePattern(u"<table[^>]([^ >]+)[^>]*>(.*?)</table>", true);
    tags.CompilePattern(u"<([^>]|\n)*>", true);
    spaces.CompilePattern(u" +", true);
    hyphens.CompilePattern(u"-+", true);
    spacedHyphens.CompilePattern(u"( -)+", true);
    commas.CompilePattern(u",+", true);
  }
};

const CleanupPrograms& Programs() {
  static const CleanupPrograms programs;
  return programs;
}

// Applies rows [first, last) of the table. Rows 33, 39, 42, 43 and 44
// each turn one control or separator character into another character of
// the same length; no other row's literal or replacement contains any of
// those characters, so they can be applied in one pass after the others.
// Every other row begins with "&" and contains no other "&": its
// occurrences start at the text's "&"s, which are kept up to date instead
// of scanning the whole text for every row.
void ApplyEntityRows(std::u16string& text, size_t first, size_t last) {
  std::vector<size_t> amps;
  for (size_t at = 0; (at = FindUnit(text.data(), at, text.size(), u'&')) < text.size(); ++at) {
    amps.push_back(at);
  }
  std::vector<size_t> nextAmps;
  std::u16string rebuilt;
  for (size_t r = first; r < last && !amps.empty(); ++r) {
    const EntityRow& row = kEntityRows[r];
    if (row.search.size() == 1) continue;
    const std::u16string_view view = text;
    size_t copied = 0;
    bool changed = false;
    rebuilt.clear();
    nextAmps.clear();
    for (size_t at : amps) {
      if (view.substr(at, row.search.size()) != row.search) {
        nextAmps.push_back(rebuilt.size() + (at - copied));  // where it will land
        continue;
      }
      if (!changed) rebuilt.reserve(text.size());
      changed = true;
      rebuilt.append(view.substr(copied, at - copied));
      if (row.insert == u"&") nextAmps.push_back(rebuilt.size());
      rebuilt.append(row.insert);
      copied = at + row.search.size();
    }
    if (!changed) continue;
    rebuilt.append(view.substr(copied));
    text.swap(rebuilt);
    amps.swap(nextAmps);
  }
  char16_t single[128] = {};  // ASCII: what a one-character row turns it into
  bool any = false;
  for (size_t r = first; r < last; ++r) {
    const EntityRow& row = kEntityRows[r];
    if (row.search.size() != 1) continue;
    single[row.search[0]] = row.insert[0];
    any = true;
  }
  if (!any) return;
  for (char16_t& c : text) {
    if (c < 128 && single[c] != 0) c = single[c];
  }
}

// The table's rows up to row 38, every character reference left then,
// and the rows after: so encoded line breaks and tabs become spaces too.
void DecodeEntities(std::u16string& text) {
  ApplyEntityRows(text, 0, kRowsBeforeReferences);
  DecodeCharacterReferences(text);
  ApplyEntityRows(text, kRowsBeforeReferences, std::size(kEntityRows));
}

}  // namespace

void CleanHeadlineText(std::u16string& text) {
  const CleanupPrograms& p = Programs();
  ReplaceLiteral(text, u"<![CDATA[", u" ");
  ReplaceLiteral(text, u"]]> ", u" ");
  ReplaceMatches(text, p.tables, u" ", true, true);
  RemoveInlineTags(text);
  ReplaceMatches(text, p.tags, u" ", true, false);
  DecodeEntities(text);
  ReplaceMatches(text, p.spaces, u" ", true, true);
  ReplaceMatches(text, p.hyphens, u"-", true, true);
  ReplaceMatches(text, p.spacedHyphens, u" -", true, true);
  ReplaceMatches(text, p.commas, u",", true, true);
  StripTrailing(text, u" -");
  StripLeading(text, u" -");
}

}  // namespace quorvane

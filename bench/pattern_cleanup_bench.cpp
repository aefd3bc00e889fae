// Prints the cost of CleanHeadlineText on generated feed descriptions of
// 1 KB, 100 KB and 1 MB, the same inputs through an equivalent pipeline
// built on std::regex (ECMAScript; character references through the
// product's own decoding, which std has no equivalent of), and hostile 1 MB
// inputs.
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <functional>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "text/CharacterReferences.h"
#include "text/EntityTable.h"
#include "text/HeadlineCleanup.h"

namespace {

// HTML of the kind full-article feeds carry: paragraphs, links, images,
// emphasis, lists, the odd table, entities and line breaks.
std::u16string RealisticHtml(size_t size, unsigned seed) {
  static const char* const kWords[] = {"the", "council", "said", "on", "Tuesday", "that",
                                       "new", "rules", "would", "apply", "from", "March",
                                       "and", "critics", "argued", "costs", "rise", "by",
                                       "12%", "over", "two", "years", "-", "residents,"};
  std::mt19937 random(seed);
  auto word = [&] { return std::string(kWords[random() % std::size(kWords)]); };
  auto sentence = [&] {
    std::string s;
    const int n = 6 + static_cast<int>(random() % 14);
    for (int i = 0; i < n; ++i) {
      if (i) s += ' ';
      const unsigned r = random() % 40;
      if (r == 0) {
        s += "<a href=\"https://news.example.com/story/" + std::to_string(random() % 99999) +
             "\" title=\"" + word() + "\">" + word() + " " + word() + "</a>";
      } else if (r == 1) {
        s += "<strong>" + word() + "</strong>";
      } else if (r == 2) {
        s += "&amp; " + word();
      } else if (r == 3) {
        s += "&#8220;" + word() + "&#8221;";
      } else if (r == 4) {
        s += word() + "&nbsp;&mdash;";
      } else {
        s += word();
      }
    }
    return s + ".";
  };
  std::string html;
  while (html.size() < size) {
    const unsigned r = random() % 12;
    if (r == 0) {
      html += "<p><img src=\"https://cdn.example.com/i/" + std::to_string(random()) +
              ".jpg\" alt=\"" + word() + "\" width=\"640\" height=\"360\"/></p>\n";
    } else if (r == 1) {
      html += "<ul>\n<li>" + sentence() + "</li>\n<li>" + sentence() + "</li>\n</ul>\n";
    } else if (r == 2) {
      html += "<table class=\"data\"><tr><td>" + word() + "</td><td>" +
              std::to_string(random() % 1000) + "</td></tr></table>\n";
    } else if (r == 3) {
      html += "<blockquote>\n\t" + sentence() + "<br/>\n</blockquote>\n";
    } else {
      html += "<p>" + sentence() + " " + sentence() + " " + sentence() + "</p>\n";
    }
  }
  html.resize(size);
  return std::u16string(html.begin(), html.end());
}

std::u16string Repeat(std::u16string_view unit, size_t size) {
  std::u16string s;
  while (s.size() < size) s += unit;
  s.resize(size);
  return s;
}

// The same pipeline on std::wregex.
void ReplaceAllLiteral(std::wstring& s, const std::wstring& from, const std::wstring& to) {
  size_t at = 0;
  std::wstring out;
  size_t done = 0;
  bool any = false;
  while ((at = s.find(from, done)) != std::wstring::npos) {
    out.append(s, done, at - done);
    out += to;
    done = at + from.size();
    any = true;
  }
  if (!any) return;
  out.append(s, done, std::wstring::npos);
  s = std::move(out);
}

std::u16string RegexClean(const std::u16string& input) {
  static const std::wregex tables(L"<table[^>]([^ >]+)[^>]*>([\\s\\S]*?)</table>");
  static const std::wregex inlineTags(
      L"</?(a|abbr|b|bdi|bdo|big|cite|code|data|dfn|em|font|i|kbd|mark|q|s|samp|small|span|"
      L"strike|strong|sub|sup|time|tt|u|var|wbr)(>|[ \t\n\r/][^>]*>)",
      std::regex::ECMAScript | std::regex::icase);
  static const std::wregex tags(L"<([^>]|\n)*>");
  static const std::wregex spaces(L" +"), hyphens(L"-+"), spacedHyphens(L"( -)+"), commas(L",+");
  static const std::vector<std::pair<std::wstring, std::wstring>> rows = [] {
    std::vector<std::pair<std::wstring, std::wstring>> wide;
    for (const quorvane::EntityRow& row : quorvane::kEntityRows) {
      wide.emplace_back(std::wstring(row.search.begin(), row.search.end()),
                        std::wstring(row.insert.begin(), row.insert.end()));
    }
    return wide;
  }();
  std::wstring s(input.begin(), input.end());
  ReplaceAllLiteral(s, L"<![CDATA[", L" ");
  ReplaceAllLiteral(s, L"]]> ", L" ");
  s = std::regex_replace(s, tables, L" ");
  s = std::regex_replace(s, inlineTags, L"");
  s = std::regex_replace(s, tags, L" ");
  for (size_t r = 0; r < quorvane::kRowsBeforeReferences; ++r) {
    ReplaceAllLiteral(s, rows[r].first, rows[r].second);
  }
  std::u16string decoded(s.begin(), s.end());
  quorvane::DecodeCharacterReferences(decoded);
  s.assign(decoded.begin(), decoded.end());
  for (size_t r = quorvane::kRowsBeforeReferences; r < rows.size(); ++r) {
    ReplaceAllLiteral(s, rows[r].first, rows[r].second);
  }
  s = std::regex_replace(s, spaces, L" ");
  s = std::regex_replace(s, hyphens, L"-");
  s = std::regex_replace(s, spacedHyphens, L" -");
  s = std::regex_replace(s, commas, L",");
  const size_t last = s.find_last_not_of(L" -");
  s.erase(last == std::wstring::npos ? 0 : last + 1);
  s.erase(0, std::min(s.find_first_not_of(L" -"), s.size()));
  return std::u16string(s.begin(), s.end());
}

// Processor seconds per call (so that other load on the machine counts
// less): the best of several rounds, each long enough to time.
double SecondsPerCall(const std::function<void()>& call) {
  double best = 1e9;
  for (int round = 0; round < 5; ++round) {
    int calls = 0;
    const std::clock_t begin = std::clock();
    double elapsed = 0;
    do {
      call();
      ++calls;
      elapsed = static_cast<double>(std::clock() - begin) / CLOCKS_PER_SEC;
    } while (elapsed < 0.05);
    best = std::min(best, elapsed / calls);
  }
  return best;
}

double CleanSeconds(const std::u16string& input, std::u16string* output = nullptr) {
  std::u16string last;
  const double s = SecondsPerCall([&] {
    last = input;
    quorvane::CleanHeadlineText(last);
  });
  if (output) *output = last;
  return s;
}

}  // namespace

int main() {
  std::printf("CleanHeadlineText on generated feed descriptions (1 KB = 1000 characters;\n"
              "processor time, best of 5 rounds)\n");
  std::printf("%-8s %12s %12s %14s %10s %s\n", "size", "ms/call", "MB/s", "std::regex ms",
              "speed-up", "same output");
  const size_t sizes[] = {1000, 100000, 1000000};
  double realistic[3] = {};
  for (int i = 0; i < 3; ++i) {
    const std::u16string input = RealisticHtml(sizes[i], 42 + i);
    std::u16string ours;
    realistic[i] = CleanSeconds(input, &ours);
    std::printf("%-8zu %12.3f %12.1f", sizes[i], realistic[i] * 1e3,
                sizes[i] / realistic[i] / 1e6);
    if (sizes[i] <= 100000) {
      std::u16string theirs;
      const double regex = SecondsPerCall([&] { theirs = RegexClean(input); });
      std::printf(" %14.3f %9.1fx %s\n", regex * 1e3, regex / realistic[i],
                  theirs == ours ? "yes" : "NO");
    } else {
      std::printf(" %14s %10s %s\n", "(not run)", "-", "-");
    }
  }
  std::printf("growth 100 KB -> 1 MB: %.1fx the time for 10x the text (goal: at most 12x)\n",
              realistic[2] / realistic[1]);

  std::printf("\nhostile 1 MB inputs, relative to the realistic 1 MB input (goal: at most 10x)\n");
  const std::pair<const char*, std::u16string> hostile[] = {
      {"<a href=x> repeated, no </a>", Repeat(u"<a href=x>", 1000000)},
      {"< repeated, no >", Repeat(u"<", 1000000)},
      {"<table x repeated", Repeat(u"<table x", 1000000)},
      {"<a repeated, one far href", Repeat(u"<a", 999980) + u" href= >x</a>"},
      {"<table x> repeated, no </table>", Repeat(u"<table x>", 1000000)},
      {"<b  repeated, no >", Repeat(u"<b ", 1000000)},
      {"&notanamex repeated", Repeat(u"&notanamex", 1000000)},
      {"&#x and 40 digits repeated", Repeat(u"&#x" + std::u16string(40, u'9') + u";", 1000000)},
  };
  for (const auto& [name, input] : hostile) {
    const double s = CleanSeconds(input);
    std::printf("%-34s %10.3f ms %8.2fx\n", name, s * 1e3, s / realistic[2]);
  }
  return 0;
}

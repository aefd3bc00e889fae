// quorvane-pattern: compiles, matches and replaces with the system's
// pattern engine from the command line, and runs the headline cleanup on
// standard input. Arguments and input are UTF-8; output is UTF-8 with a
// line feed after each line. Exit status: 0, 1 when the pattern does not
// compile (after the same output), 2 for a usage error.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "text/HeadlineCleanup.h"
#include "text/MatchState.h"
#include "text/PatternProgram.h"
#include "text/PatternReplace.h"
#include "text/Utf8.h"

namespace quorvane {
namespace {

constexpr char kUsage[] =
    "usage: quorvane-pattern compile [-i] PATTERN\n"
    "       quorvane-pattern match [-i] PATTERN TEXT\n"
    "       quorvane-pattern replace [-g] [-e] [-i] PATTERN REPLACEMENT TEXT\n"
    "       quorvane-pattern clean   (standard input to standard output)\n"
    "       quorvane-pattern --help\n"
    "  -i  ignore case   -g  every match   -e  expand $1, $2...\n"
    "  --  ends the options (for a PATTERN that is itself -i, -g or -e)\n";

struct Options {
  bool ignoreCase = false;
  bool global = false;
  bool expand = false;
  std::vector<std::u16string> operands;
};

// Options come before the operands; only the exact words -i, -g, -e count,
// so a pattern such as "-+" needs no escaping.
bool ParseOptions(const std::vector<std::u16string>& args, std::u16string_view allowed,
                  Options& options) {
  size_t i = 1;
  for (; i < args.size(); ++i) {
    const std::u16string& a = args[i];
    if (a == u"--") {
      ++i;
      break;
    }
    if (a.size() != 2 || a[0] != u'-' || allowed.find(a[1]) == std::u16string_view::npos) break;
    if (a[1] == u'i') options.ignoreCase = true;
    if (a[1] == u'g') options.global = true;
    if (a[1] == u'e') options.expand = true;
  }
  options.operands.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  return true;
}

void Line(std::string& out, const std::string& text) {
  out += text;
  out += '\n';
}

int Run(const std::vector<std::u16string>& args, std::string& out) {
  if (args.empty()) return 2;
  const std::u16string& command = args[0];
  Options options;
  if (command == u"compile") {
    ParseOptions(args, u"i", options);
    if (options.operands.size() != 1) return 2;
    PatternProgram program;
    const int32_t code = program.CompilePattern(options.operands[0].c_str(), !options.ignoreCase);
    Line(out, std::to_string(code));
    if (code != kPatternOk) return 1;
    const auto& code_list = program.Instructions();
    for (size_t i = 0; i < code_list.size(); ++i) {
      Line(out, std::to_string(i) + " " + PatternKindName(code_list[i].kind) + " " +
                    std::to_string(code_list[i].operand));
    }
    return 0;
  }
  if (command == u"match") {
    ParseOptions(args, u"i", options);
    if (options.operands.size() != 2) return 2;
    PatternProgram program;
    const int32_t code = program.CompilePattern(options.operands[0].c_str(), !options.ignoreCase);
    if (code != kPatternOk) {
      Line(out, "error " + std::to_string(code));
      return 1;
    }
    MatchState state;
    if (!program.MatchPattern(std::u16string_view(options.operands[1]), state)) {
      Line(out, "nomatch");
      return 0;
    }
    Line(out, std::to_string(state.matchStart) + " " + std::to_string(state.matchEnd));
    for (const CaptureExtent& c : state.captures) {
      Line(out, std::to_string(c.start) + " " + std::to_string(c.end));
    }
    return 0;
  }
  if (command == u"replace") {
    ParseOptions(args, u"gei", options);
    if (options.operands.size() != 3) return 2;
    PatternProgram program;
    std::u16string text = options.operands[2];
    const int32_t result = PatternReplace(text, options.operands[0].c_str(), options.operands[1],
                                          options.global, options.expand, !options.ignoreCase,
                                          program);
    Line(out, std::to_string(result));
    Line(out, Utf16ToUtf8(text));
    return result == kReplaceBadPattern ? 1 : 0;
  }
  if (command == u"clean") {
    if (args.size() != 1) return 2;
    const std::string input((std::istreambuf_iterator<char>(std::cin)),
                            std::istreambuf_iterator<char>());
    std::u16string text = Utf8ToUtf16(input);
    CleanHeadlineText(text);
    out += Utf16ToUtf8(text);
    return 0;
  }
  std::fprintf(stderr, "quorvane-pattern: unknown command %s\n", Utf16ToUtf8(command).c_str());
  return 2;
}

int Main(const std::vector<std::u16string>& args) {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  if (args.size() == 1 && (args[0] == u"--help" || args[0] == u"-h" || args[0] == u"/?")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  std::string out;
  int status = 2;
  try {
    status = Run(args, out);
  } catch (const std::bad_alloc&) {
    std::fputs("quorvane-pattern: out of memory\n", stderr);
    return 1;
  }
  if (status == 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
  return status;
}

}  // namespace
}  // namespace quorvane

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) {
    std::u16string a;
    for (const wchar_t* p = argv[i]; *p; ++p) a += static_cast<char16_t>(*p);
    args.push_back(std::move(a));
  }
  return quorvane::Main(args);
}
#else
int main(int argc, char** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(quorvane::Utf8ToUtf16(argv[i]));
  return quorvane::Main(args);
}
#endif

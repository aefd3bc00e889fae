#include "harness/ScriptedRun.h"

#include <ocidl.h>

#include <cstdio>
#include <cwchar>

#include "QuorvaneRSS_h.h"
#include "win/base/UniqueHandle.h"
#include "harness/ProcessStats.h"
#include "harness/ScriptWaits.h"
#include "sidebar/ParentConsole.h"
#include "text/WideStringOps.h"
#include "harness/WindowCapture.h"

namespace quorvane::sidebar {
namespace {

std::wstring Trim(const std::wstring& text) {
  const std::u16string_view trimmed =
      TrimWhiteSpace(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
  return std::wstring(reinterpret_cast<const wchar_t*>(trimmed.data()), trimmed.size());
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes, nullptr, nullptr);
  return out;
}

void AppendFile(const std::wstring& path, const std::string& text, bool truncate) {
  UniqueHandle file(CreateFileW(path.c_str(), truncate ? GENERIC_WRITE : FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                truncate ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  DWORD written = 0;
  WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

BOOL CALLBACK ListWindow(HWND window, LPARAM data) {
  auto* text = reinterpret_cast<std::wstring*>(data);
  wchar_t className[64] = {}, title[128] = {};
  GetClassNameW(window, className, 64);
  GetWindowTextW(window, title, 128);
  *text += std::wstring(GetParent(window) ? L"  " : L"") + className + L" id=" + std::to_wstring(GetDlgCtrlID(window)) +
           L" visible=" + (IsWindowVisible(window) ? L"1" : L"0") + L" enabled=" + (IsWindowEnabled(window) ? L"1" : L"0") +
           L" text=" + title + L"\n";
  return TRUE;
}

BOOL CALLBACK ListTopLevel(HWND window, LPARAM data) {
  ListWindow(window, data);
  EnumChildWindows(window, &ListWindow, data);
  return TRUE;
}

}  // namespace

namespace {
constexpr UINT_PTR kTickTimer = 1;
}  // namespace

ScriptedRun::ScriptedRun(SidebarWindow& sidebar, const HarnessOptions& options)
    : sidebar_(sidebar), options_(options), start_(GetTickCount64()) {
  const std::wstring& script = options_.script;
  for (size_t begin = 0; begin <= script.size();) {
    size_t end = script.find(L';', begin);
    if (end == std::wstring::npos) end = script.size();
    const std::wstring text = Trim(script.substr(begin, end - begin));
    if (!text.empty()) {
      const size_t space = text.find(L' ');
      steps_.push_back(Step{text.substr(0, space), space == std::wstring::npos ? L"" : Trim(text.substr(space + 1))});
    }
    begin = end + 1;
  }
  if (!options_.screenshotDir.empty()) {
    CreateDirectoryW(options_.screenshotDir.c_str(), nullptr);
    nextShot_ = options_.screenshotEverySeconds;
  }
  if (!options_.statsFile.empty()) {
    AppendFile(options_.statsFile,
               "seconds handles gdi_objects user_objects threads private_kb probe_max_ms probe_timeouts probes\n",
               true);
    WriteStats();
    nextStats_ = options_.statsEverySeconds;
    StartProbe();
  }
  ticker_.Create(L"QuorvaneSidebarHarnessTicker", 0, HWND_MESSAGE, RECT{},
                 [this](HWND window, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
                   if (msg == WM_TIMER && wParam == kTickTimer) {
                     Tick();
                     return 0;
                   }
                   return DefWindowProcW(window, msg, wParam, lParam);
                 });
  SetTimer(ticker_.Handle(), kTickTimer, SidebarWindow::kTickMs, nullptr);
}

ScriptedRun::~ScriptedRun() {
  if (ticker_.Handle()) KillTimer(ticker_.Handle(), kTickTimer);
  StopProbe();
}

bool ScriptedRun::WaitOver() {
  if (awaited_.empty()) return Elapsed() >= waitUntil_;
  if (ScriptConditionHolds(sidebar_, awaited_, lastCapture_).value_or(false)) {
    awaited_.clear();
    waitUntil_ = 0;  // the time-out is over with the wait
    return true;
  }
  if (Elapsed() < waitUntil_) return false;
  Fail(L"wait-until " + awaited_ + L": not so after " + std::to_wstring(static_cast<int>(Elapsed() * 1000)) + L" ms");
  return false;
}

void ScriptedRun::Fail(const std::wstring& why) {
  WriteConsoleLine(STD_ERROR_HANDLE, L"QuorvaneSidebarHarness: " + why);
  awaited_.clear();
  failed_ = true;
  steps_.clear();
  StopProbe();
  sidebar_.Close();
}

double ScriptedRun::Elapsed() const { return static_cast<double>(GetTickCount64() - start_) / 1000.0; }

void ScriptedRun::Tick() {
  if (finished_) return;
  const double now = Elapsed();
  if (!options_.screenshotDir.empty() && now >= nextShot_) {
    nextShot_ += options_.screenshotEverySeconds;
    wchar_t name[32];
    swprintf(name, 32, L"\\shot-%03d.bmp", ++shotNumber_);
    CaptureWindow(sidebar_.Window(), options_.screenshotDir + name, true);
  }
  if (!options_.statsFile.empty() && now >= nextStats_) {
    nextStats_ += options_.statsEverySeconds;
    WriteStats();
  }
  if (options_.runForSeconds > 0 && now >= options_.runForSeconds) {
    // The last figures are those of the running gadget, before teardown.
    if (!options_.statsFile.empty()) WriteStats();
    StopProbe();
    sidebar_.Close();
    return;
  }
  // Steps may open modal loops that tick again: each step is taken off
  // the list before it runs, and a wait set inside such a loop holds.
  while (nextStep_ < steps_.size() && WaitOver()) {
    const Step step = steps_[nextStep_++];
    RunStep(step);
    if (finished_) return;
  }
}

void ScriptedRun::RunStep(const Step& step) {
  if (step.verb == L"wait") {
    waitUntil_ = Elapsed() + _wtoi(step.argument.c_str()) / 1000.0;
  } else if (step.verb == L"wait-until") {
    const size_t space = step.argument.find(L' ');
    waitUntil_ = Elapsed() + _wtoi(step.argument.c_str()) / 1000.0;
    awaited_ = space == std::wstring::npos ? L"" : Trim(step.argument.substr(space + 1));
    if (!ScriptConditionHolds(sidebar_, awaited_, lastCapture_)) Fail(L"wait-until: unknown condition \"" + awaited_ + L"\"");
  } else if (step.verb == L"capture" || step.verb == L"capture-window") {
    CaptureWindow(sidebar_.Window(), step.argument, step.verb == L"capture-window");
    lastCapture_ = {TextAreaPixels(sidebar_), TypingTickCounter::Count()};
  } else if (step.verb == L"capture-screen") {
    CaptureWindow(GetDesktopWindow(), step.argument, false);
  } else if (step.verb == L"capture-status") {
    if (HWND status = sidebar_.FeedStatus().Window()) CaptureWindow(status, step.argument, true);
  } else if (step.verb == L"menu") {
    if (sidebar_.GadgetCount() > 0) sidebar_.RunMenuItem(0, step.argument);
  } else if (step.verb == L"wheel") {
    if (sidebar_.GadgetCount() > 0) {
      const RECT& r = sidebar_.Gadget(0).Rect();
      POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
      ClientToScreen(sidebar_.Window(), &centre);
      SendMessageW(sidebar_.Window(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<short>(_wtoi(step.argument.c_str()))),
                   MAKELPARAM(centre.x, centre.y));
    }
  } else if (step.verb == L"import-opml" || step.verb == L"export-opml") {
    if (sidebar_.GadgetCount() > 0) {
      if (step.verb == L"import-opml")
        sidebar_.ImportFeeds(0, step.argument, true);
      else
        sidebar_.ExportFeeds(0, step.argument, true);
    }
  } else if (step.verb == L"set-item" || step.verb == L"press") {
    const size_t space = step.argument.find(L' ');
    const int id = _wtoi(step.argument.substr(0, space).c_str());
    if (HWND control = FindDialogControl(id)) {
      if (step.verb == L"press") {
        SendMessageW(control, BM_CLICK, 0, 0);
      } else {
        // Typed as a user types it: the field's own change notices follow.
        SetFocus(control);
        SendMessageW(control, EM_SETSEL, 0, -1);
        SendMessageW(control, WM_CHAR, VK_BACK, 1);
        if (space != std::wstring::npos)
          for (wchar_t c : step.argument.substr(space + 1)) SendMessageW(control, WM_CHAR, c, 1);
      }
    }
  } else if (step.verb == L"windows") {
    std::wstring text;
    EnumThreadWindows(GetCurrentThreadId(), &ListTopLevel, reinterpret_cast<LPARAM>(&text));
    AppendFile(step.argument, Utf8(text), true);
  } else if (step.verb == L"dump") {
    Dump(step.argument);
  } else if (step.verb == L"exit") {
    StopProbe();
    sidebar_.Close();
  }
}

void ScriptedRun::Dump(const std::wstring& path) {
  std::wstring text = L"gadgets=" + std::to_wstring(sidebar_.GadgetCount()) + L"\n";
  if (sidebar_.GadgetCount() > 0) {
    GadgetSite& site = sidebar_.Gadget(0);
    const RECT& r = site.Rect();
    text += L"title=" + site.Title() + L"\n";
    text += L"default_size=" + std::to_wstring(site.DefaultSize().cx) + L"x" + std::to_wstring(site.DefaultSize().cy) + L"\n";
    text += L"icon=" + std::wstring(site.Icon() ? L"1" : L"0") + L"\n";
    text += L"rect=" + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) + L"," +
            std::to_wstring(r.bottom) + L"\n";
    text += L"windowless=" + std::wstring(site.Windowless() ? L"1" : L"0") + L"\n";
    text += L"created_from=" + std::wstring(sidebar_.Factory().UsedDll() ? L"dll" : L"registration") + L"\n";
    std::wstring menu;
    for (const std::wstring& item : sidebar_.MenuTexts(0)) menu += (menu.empty() ? L"" : L"|") + item;
    text += L"menu=" + menu + L"\n";
    ComPtr<IQuorvaneRSSGadget> gadget;
    if (site.Control() && SUCCEEDED(site.Control()->QueryInterface(IID_PPV_ARGS(&gadget)))) {
      UniqueBstr feeds;
      int refresh = 0, delay = 0, speed = 0;
      gadget->get_FeedURLs(feeds.out());
      gadget->get_FeedRefreshRate(&refresh);
      gadget->get_DelayBetweenFeeds(&delay);
      gadget->get_SpeechSpeed(&speed);
      text += L"feeds=" + std::wstring(feeds.get() ? feeds.get() : L"") + L"\n";
      text += L"refresh_minutes=" + std::to_wstring(refresh) + L"\ndelay_seconds=" + std::to_wstring(delay) +
              L"\nspeed=" + std::to_wstring(speed) + L"\n";
    }
  }
  std::wstring about = sidebar_.About().Text();
  for (wchar_t& c : about)
    if (c == L'\n') c = L'|';
  text += L"about=" + about + L"\n";
  text += L"about_open=" + std::wstring(sidebar_.About().Window() ? L"1" : L"0") + L"\n";
  text += L"status_open=" + std::wstring(sidebar_.FeedStatus().Window() ? L"1" : L"0") + L"\n";
  for (const FeedStatusWindow::Row& row : sidebar_.FeedStatus().Rows()) {
    std::wstring cells;
    for (const std::wstring& cell : row) cells += (cells.empty() ? L"" : L"|") + cell;
    text += L"status_row=" + cells + L"\n";
  }
  text += L"transfer_report=" + sidebar_.LastTransferReport() + L"\n";
  AppendFile(path, Utf8(text), true);
}

void ScriptedRun::WriteStats() {
  const ProcessStats stats = CurrentProcessStats();
  char line[256];
  std::snprintf(line, sizeof(line), "%.1f %lu %lu %lu %lu %llu %u %u %u\n", Elapsed(),
                static_cast<unsigned long>(stats.handles), static_cast<unsigned long>(stats.gdiObjects),
                static_cast<unsigned long>(stats.userObjects), static_cast<unsigned long>(stats.threads),
                static_cast<unsigned long long>(stats.privateBytes / 1024), probeMaxMs_.exchange(0),
                probeTimeouts_.load(), probeCount_.load());
  AppendFile(options_.statsFile, line, false);
}

void ScriptedRun::StartProbe() {
  HWND target = sidebar_.Window();
  probe_ = std::thread([this, target] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    while (!probeStop_.load()) {
      LARGE_INTEGER before, after;
      QueryPerformanceCounter(&before);
      DWORD_PTR answer = 0;
      const LRESULT ok = SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &answer);
      QueryPerformanceCounter(&after);
      if (probeStop_.load()) break;
      const auto ms = static_cast<uint32_t>((after.QuadPart - before.QuadPart) * 1000 / frequency.QuadPart);
      probeCount_++;
      // Only a time-out counts: the window going away at the end is no hang.
      if (!ok && GetLastError() == ERROR_TIMEOUT) probeTimeouts_++;
      for (uint32_t seen = probeMaxMs_.load(); ms > seen && !probeMaxMs_.compare_exchange_weak(seen, ms);) {}
      for (uint32_t seen = probeWorstMs_.load(); ms > seen && !probeWorstMs_.compare_exchange_weak(seen, ms);) {}
      for (int i = 0; i < 20 && !probeStop_.load(); ++i) Sleep(50);
    }
  });
}

void ScriptedRun::StopProbe() {
  probeStop_ = true;
  if (probe_.joinable()) probe_.join();
}

void ScriptedRun::Finish() {
  if (finished_) return;
  finished_ = true;
  if (!options_.statsFile.empty()) {
    WriteStats();
    char line[96];
    std::snprintf(line, sizeof(line), "# probe worst %u ms, %u timeouts in %u probes\n", probeWorstMs_.load(),
                  probeTimeouts_.load(), probeCount_.load());
    AppendFile(options_.statsFile, line, false);
  }
  StopProbe();
}

}  // namespace quorvane::sidebar

// QuorvaneSidebar.exe: the sidebar that runs QuorvaneRSS and the other
// display plug-ins registered with it.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "QuorvaneRSS_h.h"
#include "win/com/Apartment.h"
#include "win/com/ComPtr.h"
#include "sidebar/GadgetFactory.h"
#include "sidebar/GadgetState.h"
#include "sidebar/ParentConsole.h"
#include "sidebar/ScriptedRun.h"
#include "sidebar/SidebarOptions.h"
#include "sidebar/SidebarWindow.h"
#include "sidebar/registrar/PluginStore.h"

using namespace quorvane;
using namespace quorvane::sidebar;

namespace {

// Errors go to standard error, the parent's console when started from one.
void Print(const std::wstring& text) { WriteConsoleLine(STD_ERROR_HANDLE, text); }

std::wstring Hex(HRESULT hr) {
  wchar_t text[16];
  wsprintfW(text, L"0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

// Calls DllRegisterServer or DllUnregisterServer of a module beside the
// sidebar.
HRESULT CallModule(const wchar_t* fileName, const char* entry) {
  const std::wstring path = GadgetFactory::BesideExecutable(fileName);
  const UniqueModule module(LoadLibraryW(path.c_str()));
  if (!module) return HRESULT_FROM_WIN32(GetLastError());
  using Entry = HRESULT(STDAPICALLTYPE*)();
  auto function = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module.get(), entry)));
  return function ? function() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
}

int Install(bool install) {
  int failures = 0;
  auto report = [&](const wchar_t* what, HRESULT hr) {
    WriteConsoleLine(SUCCEEDED(hr) ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE,
                     std::wstring(what) + (SUCCEEDED(hr) ? L": done" : L": failed, " + Hex(hr)));
    failures += FAILED(hr) ? 1 : 0;
  };
  if (install) {
    // The registration object first: the gadget registers itself with it.
    report(L"component registration object", CallModule(L"QuorvaneSidebarRegistrar.dll", "DllRegisterServer"));
    report(L"QuorvaneRSS.dll", CallModule(L"QuorvaneRSS.dll", "DllRegisterServer"));
  } else {
    report(L"QuorvaneRSS.dll", CallModule(L"QuorvaneRSS.dll", "DllUnregisterServer"));
    report(L"component registration object", CallModule(L"QuorvaneSidebarRegistrar.dll", "DllUnregisterServer"));
  }
  return failures ? 1 : 0;
}

void ApplyCommandLineSettings(IUnknown* control, const SidebarOptions& options) {
  ComPtr<IQuorvaneRSSGadget> gadget;
  if (!control || FAILED(control->QueryInterface(IID_PPV_ARGS(&gadget)))) return;
  if (!options.feeds.empty()) {
    // The gadget's feed list: every URL followed by " URL ".
    std::wstring list;
    for (const std::wstring& url : options.feeds) list += url + L" URL ";
    UniqueBstr value(list.c_str());
    gadget->put_FeedURLs(value.get());
  }
  if (options.refreshMinutes) gadget->put_FeedRefreshRate(*options.refreshMinutes);
  if (options.delaySeconds) gadget->put_DelayBetweenFeeds(*options.delaySeconds);
  if (options.speed) gadget->put_SpeechSpeed(*options.speed);
}

// --import-opml, --export-opml: done with the gadget loaded but never shown
// or started (nothing is downloaded), then the sidebar ends, saving it.
int TransferFeeds(SidebarWindow& sidebar, const SidebarOptions& options) {
  int failures = 0;
  if (sidebar.GadgetCount() == 0 || !IsEqualCLSID(sidebar.GadgetClass(0), kGadgetClassId)) {
    Print(L"QuorvaneSidebar: QuorvaneRSS is not loaded");
    return 3;
  }
  auto run = [&](const TransferReport& report) {
    Print(report.message);
    failures += report.ok ? 0 : 1;
  };
  if (!options.importOpml.empty()) run(sidebar.ImportFeeds(0, options.importOpml, false));
  if (!options.exportOpml.empty()) run(sidebar.ExportFeeds(0, options.exportOpml, false));
  sidebar.Close();
  return failures ? 1 : 0;
}

int RunSidebar(const SidebarOptions& options, int showCommand) {
  GadgetFactory factory(options.gadgetDll);
  int exitCode = 0;
  {
    SidebarWindow sidebar(factory);
    if (!sidebar.Create()) {
      Print(L"QuorvaneSidebar: cannot create the window");
      return 2;
    }
    // QuorvaneRSS always comes first, registered or not; then the other
    // display plug-ins registered with the sidebar.
    std::vector<CLSID> plugins{kGadgetClassId};
    if (!options.onlyQuorvane) {
      wchar_t ownId[40];
      StringFromGUID2(kGadgetClassId, ownId, 40);
      for (const PluginRecord& record : PluginStore::ListDisplayPlugins(ownId)) {
        CLSID clsid{};
        if (SUCCEEDED(IIDFromString(record.classId.c_str(), &clsid)) && !IsEqualCLSID(clsid, kGadgetClassId))
          plugins.push_back(clsid);
      }
    }
    for (const CLSID& clsid : plugins) {
      const bool own = IsEqualCLSID(clsid, kGadgetClassId);
      const std::wstring state = own && !options.statePath.empty() ? options.statePath : DefaultStatePath(clsid);
      const HRESULT hr = sidebar.AddGadget(clsid, state);
      if (FAILED(hr)) {
        wchar_t id[40];
        StringFromGUID2(clsid, id, 40);
        Print(std::wstring(L"QuorvaneSidebar: cannot load plug-in ") + id + L" (" + Hex(hr) + L")" +
              (own ? L"; looked for " + factory.DllPath() : L""));
        continue;
      }
      if (own) ApplyCommandLineSettings(sidebar.Gadget(sidebar.GadgetCount() - 1).Control(), options);
    }
    if (sidebar.GadgetCount() == 0) exitCode = 3;
    if (!options.importOpml.empty() || !options.exportOpml.empty())
      return TransferFeeds(sidebar, options);
    sidebar.FitAndShow(showCommand);

    ScriptedRun run(sidebar, options);
    if (run.Active()) sidebar.SetTicker([&run] { run.Tick(); });
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (sidebar.About().Window() && IsDialogMessageW(sidebar.About().Window(), &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    sidebar.SetTicker(nullptr);
    run.Finish();
  }
  CoFreeUnusedLibraries();
  return exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  int count = 0;
  std::vector<std::wstring> args;
  {
    const UniqueLocalMem<LPWSTR> argv(CommandLineToArgvW(GetCommandLineW(), &count));
    for (int i = 1; argv && i < count; ++i) args.emplace_back(argv.get()[i]);
  }

  AttachParentConsole();
  std::wstring error;
  const auto options = ParseSidebarOptions(args, error);
  if (!options) {
    Print(L"QuorvaneSidebar: " + error + L" (see --help)");
    return 1;
  }
  if (options->help) {
    WriteConsoleLine(STD_OUTPUT_HANDLE, kSidebarUsage);
    return 0;
  }
  const OleApartment ole;
  if (!ole) return 2;
  if (options->install || options->uninstall) return Install(options->install);
  return RunSidebar(*options, showCommand);
}

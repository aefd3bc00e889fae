// DllRegisterServer and DllUnregisterServer of the real module, called in
// process and through regsvr32, against a fake host registration object
// registered in this test's Wine prefix only. The registry is compared
// whole before and after.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "RegistrySnapshot.h"
#include "fake_host/FakeHost.h"

namespace quorvane::test {
namespace {

constexpr wchar_t kControl[] = L"{D92EDB2C-3B62-49ED-9568-9706F095C8C0}";
constexpr wchar_t kPage[] = L"{4996C509-E292-48A6-BA58-A3D23926020D}";
constexpr wchar_t kAppId[] = L"{80A7292B-35DF-4A20-B084-583833861CE6}";
constexpr wchar_t kLibId[] = L"{423FB305-07A6-4068-B657-9E86F540656C}";
constexpr wchar_t kInterface[] = L"{EC34B855-ECED-48FB-9BF0-052FDA59A7B2}";
constexpr wchar_t kFeedsInterface[] = L"{8E681987-9276-4F0C-BFA0-C9B34CBE56F2}";
constexpr wchar_t kFeedStatusInterface[] = L"{510FAA09-A553-48CE-8FD1-8FF377A792FE}";
constexpr wchar_t kHostRegistrar[] = L"{AC129136-EB1C-4FFF-B0A2-6D6761BE4138}";

std::wstring Widen(const char* text) { return std::wstring(text, text + strlen(text)); }

std::wstring FullPath(const std::wstring& path) {
  wchar_t full[MAX_PATH];
  GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  return full;
}

std::wstring Q(const std::wstring& text) { return L"\"" + text + L"\""; }

// Every key the module's scripts write, with its values.
RegistryTree ScriptKeys(const std::wstring& module) {
  const std::wstring gadget = L"CLSID\\" + std::wstring(kControl);
  const std::wstring page = L"CLSID\\" + std::wstring(kPage);
  return {
      {L"AppID\\" + std::wstring(kAppId), L"=" + Q(L"QuorvaneRSS")},
      {L"AppID\\QuorvaneRSS.DLL", L"AppID=" + Q(kAppId)},
      {L"QuorvaneRSS.QuorvaneRSSGadget.1", L"=" + Q(L"QuorvaneRSSGadget Class")},
      {L"QuorvaneRSS.QuorvaneRSSGadget.1\\CLSID", L"=" + Q(kControl)},
      {L"QuorvaneRSS.QuorvaneRSSGadget", L"=" + Q(L"QuorvaneRSSGadget Class")},
      {L"QuorvaneRSS.QuorvaneRSSGadget\\CLSID", L"=" + Q(kControl)},
      {L"QuorvaneRSS.QuorvaneRSSGadget\\CurVer", L"=" + Q(L"QuorvaneRSS.QuorvaneRSSGadget.1")},
      {gadget, L"=" + Q(L"QuorvaneRSSGadget Class") + L" AppID=" + Q(kAppId)},
      {gadget + L"\\ProgID", L"=" + Q(L"QuorvaneRSS.QuorvaneRSSGadget.1")},
      {gadget + L"\\VersionIndependentProgID", L"=" + Q(L"QuorvaneRSS.QuorvaneRSSGadget")},
      {gadget + L"\\Programmable", L""},
      {gadget + L"\\InprocServer32", L"=" + Q(module) + L" ThreadingModel=" + Q(L"Apartment")},
      {gadget + L"\\Control", L""},
      {gadget + L"\\ToolboxBitmap32", L"=" + Q(module + L", 102")},
      {gadget + L"\\MiscStatus", L"=" + Q(L"0")},
      {gadget + L"\\MiscStatus\\1", L"=" + Q(L"131473")},
      {gadget + L"\\TypeLib", L"=" + Q(kLibId)},
      {gadget + L"\\Version", L"=" + Q(L"1.0")},
      {L"QuorvaneRSS.QuorvaneRSSPropPage.1", L"=" + Q(L"QuorvaneRSSPropPage Class")},
      {L"QuorvaneRSS.QuorvaneRSSPropPage.1\\CLSID", L"=" + Q(kPage)},
      {L"QuorvaneRSS.QuorvaneRSSPropPage", L"=" + Q(L"QuorvaneRSSPropPage Class")},
      {L"QuorvaneRSS.QuorvaneRSSPropPage\\CLSID", L"=" + Q(kPage)},
      {L"QuorvaneRSS.QuorvaneRSSPropPage\\CurVer", L"=" + Q(L"QuorvaneRSS.QuorvaneRSSPropPage.1")},
      {page, L"=" + Q(L"QuorvaneRSSPropPage Class") + L" AppID=" + Q(kAppId)},
      {page + L"\\ProgID", L"=" + Q(L"QuorvaneRSS.QuorvaneRSSPropPage.1")},
      {page + L"\\VersionIndependentProgID", L"=" + Q(L"QuorvaneRSS.QuorvaneRSSPropPage")},
      {page + L"\\InprocServer32", L"=" + Q(module) + L" ThreadingModel=" + Q(L"Apartment")},
      {page + L"\\TypeLib", L"=" + Q(kLibId)},
  };
}

// Registry names compare without case; Wine spells the root "Typelib".
bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
  return text.size() >= prefix.size() && !_wcsnicmp(text.c_str(), prefix.c_str(), prefix.size());
}

const std::wstring* Find(const RegistryTree& tree, const std::wstring& path) {
  for (const auto& [key, values] : tree)
    if (key.size() == path.size() && StartsWith(key, path)) return &values;
  return nullptr;
}

// Splits the type library's keys (written by the system's type library
// registration, whose details are its own) from the scripts' keys.
RegistryTree TakeTypeLibKeys(RegistryTree& changed) {
  RegistryTree typeLib;
  for (auto it = changed.begin(); it != changed.end();) {
    if (StartsWith(it->first, L"TypeLib\\" + std::wstring(kLibId)) ||
        StartsWith(it->first, L"Interface\\" + std::wstring(kInterface)) ||
        StartsWith(it->first, L"Interface\\" + std::wstring(kFeedsInterface)) ||
        StartsWith(it->first, L"Interface\\" + std::wstring(kFeedStatusInterface))) {
      typeLib.insert(*it);
      it = changed.erase(it);
    } else {
      ++it;
    }
  }
  return typeLib;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

std::string Show(const RegistryTree& tree) {
  std::string out;
  for (const auto& [path, values] : tree) out += "  " + Narrow(path) + "  " + Narrow(values) + "\n";
  return out;
}

class RegistrationTest : public testing::Test {
 protected:
  using Export = HRESULT(STDAPICALLTYPE*)();

  static void SetUpTestSuite() {
    modulePath_ = FullPath(Widen(QUORVANE_DLL_PATH));
    fakePath_ = FullPath(Widen(FAKE_HOST_DLL_PATH));
    module_ = LoadLibraryW(modulePath_.c_str());
    ASSERT_TRUE(module_) << "cannot load " << Narrow(modulePath_);
    register_ = reinterpret_cast<Export>(GetProcAddress(module_, "DllRegisterServer"));
    unregister_ = reinterpret_cast<Export>(GetProcAddress(module_, "DllUnregisterServer"));
    wchar_t loaded[MAX_PATH];
    GetModuleFileNameW(module_, loaded, MAX_PATH);
    modulePath_ = loaded;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    logPath_ = std::wstring(temp) + L"quorvane-fake-host.log";
  }

  void SetUp() override {
    ASSERT_TRUE(register_ && unregister_);
    // Leftovers of an earlier run would hide what registration adds.
    RemoveFakeHost();
    unregister_();
    InstallFakeHost();
    SetEnvironmentVariableW(kFakeHostLogVariable, logPath_.c_str());
    SetEnvironmentVariableW(kFakeHostFailVariable, nullptr);
    DeleteFileW(logPath_.c_str());
    baseline_ = Snapshot(HKEY_CLASSES_ROOT);
  }

  void TearDown() override {
    SetEnvironmentVariableW(kFakeHostFailVariable, nullptr);
    unregister_();
    RemoveFakeHost();
    SetEnvironmentVariableW(kFakeHostLogVariable, nullptr);
  }

  static void InstallFakeHost() {
    const std::wstring key = L"CLSID\\" + std::wstring(kHostRegistrar) + L"\\InprocServer32";
    HKEY opened = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                             &opened, nullptr));
    RegSetValueExW(opened, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(fakePath_.c_str()),
                   static_cast<DWORD>((fakePath_.size() + 1) * sizeof(wchar_t)));
    RegSetValueExW(opened, L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"Both"), 10);
    RegCloseKey(opened);
  }

  static void RemoveFakeHost() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + std::wstring(kHostRegistrar)).c_str());
  }

  // The calls the fake host saw, in order, without its release lines.
  std::vector<std::string> HostCalls() const { return ReadLog(false); }
  std::vector<std::string> HostReleases() const { return ReadLog(true); }

  std::vector<std::string> ReadLog(bool releases) const {
    std::ifstream file(Narrow(logPath_).c_str());
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
      if ((line.rfind("Released ", 0) == 0) == releases) lines.push_back(line);
    return lines;
  }

  // What registration changed, with the type library's keys checked and
  // taken out.
  RegistryTree ScriptChanges() {
    RegistryTree changed = Changed(baseline_, Snapshot(HKEY_CLASSES_ROOT));
    const RegistryTree typeLib = TakeTypeLibKeys(changed);
    const std::wstring version = L"TypeLib\\" + std::wstring(kLibId) + L"\\1.0";
    const std::wstring* title = Find(typeLib, version);
    // The type library registers for the module's own platform, in the
    // registry view of the module's bitness (this test's own).
    const std::wstring* path = Find(typeLib, version + (sizeof(void*) == 8 ? L"\\0\\win64" : L"\\0\\win32"));
    const std::wstring* dual = Find(typeLib, L"Interface\\" + std::wstring(kInterface));
    EXPECT_TRUE(title && *title == L"=" + Q(L"QuorvaneRSS 1.0 Type Library")) << Show(typeLib);
    EXPECT_TRUE(path && *path == L"=" + Q(modulePath_)) << Show(typeLib);
    EXPECT_TRUE(dual && *dual == L"=" + Q(L"IQuorvaneRSSGadget")) << Show(typeLib);
    const std::wstring* feeds = Find(typeLib, L"Interface\\" + std::wstring(kFeedsInterface));
    EXPECT_TRUE(feeds && *feeds == L"=" + Q(L"IQuorvaneRSSFeeds")) << Show(typeLib);
    const std::wstring* status = Find(typeLib, L"Interface\\" + std::wstring(kFeedStatusInterface));
    EXPECT_TRUE(status && *status == L"=" + Q(L"IQuorvaneRSSFeedStatus")) << Show(typeLib);
    return changed;
  }

  void ExpectBaseline() {
    const RegistryTree now = Snapshot(HKEY_CLASSES_ROOT);
    EXPECT_EQ(RegistryTree{}, Changed(baseline_, now)) << Show(Changed(baseline_, now));
    EXPECT_TRUE(Removed(baseline_, now).empty()) << Narrow(Removed(baseline_, now).front());
  }

  // Runs regsvr32 in a child process; its exit code.
  DWORD RunRegsvr32(const std::wstring& options) {
    return Run(L"regsvr32.exe /s " + options + L" \"" + modulePath_ + L"\"");
  }

  // Runs a command line in a child process; its exit code. Its standard
  // output goes to `output` if given, else to the test's console.
  static DWORD Run(std::wstring command, std::string* output = nullptr) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    const std::wstring outputPath = logPath_ + L".out";
    HANDLE file = INVALID_HANDLE_VALUE;
    if (output) {
      file = CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
      startup.dwFlags = STARTF_USESTDHANDLES;
      startup.hStdOutput = startup.hStdError = file;
      startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    const BOOL started =
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, output != nullptr, 0, nullptr, nullptr, &startup, &process);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!started) return ~0u;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = ~0u;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (output) {
      std::ifstream read(Narrow(outputPath).c_str(), std::ios::binary);
      output->assign(std::istreambuf_iterator<char>(read), std::istreambuf_iterator<char>());
    }
    return code;
  }

  static inline HMODULE module_ = nullptr;
  static inline Export register_ = nullptr;
  static inline Export unregister_ = nullptr;
  static inline std::wstring modulePath_;
  static inline std::wstring fakePath_;
  static inline std::wstring logPath_;
  RegistryTree baseline_;
};

const std::string kControlId = "{D92EDB2C-3B62-49ED-9568-9706F095C8C0}";
const std::string kRecordCall =
    "RegisterComponent " + kControlId +
    " lbound=0 \"Title\" \"QuorvaneRSS\" \"Description\" \"RSS quorvane\" \"Icon\" \"\"";

TEST_F(RegistrationTest, RegistersTheComKeysAndThePluginWithTheHost) {
  ASSERT_EQ(S_OK, register_());
  EXPECT_EQ(ScriptKeys(modulePath_), ScriptChanges()) << Show(ScriptChanges());
  EXPECT_TRUE(Removed(baseline_, Snapshot(HKEY_CLASSES_ROOT)).empty());
  EXPECT_EQ((std::vector<std::string>{kRecordCall, "GetRegistrationObject \"GoogleDesktop.DisplayPluginRegistration\"",
                                      "RegisterPlugin " + kControlId + " false", "Finish"}),
            HostCalls());
  EXPECT_EQ(2u, HostReleases().size()) << "every host object is released";
}

TEST_F(RegistrationTest, RegisteringAgainReplacesTheClassKeysWhole) {
  ASSERT_EQ(S_OK, register_());
  HKEY stale = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, (L"CLSID\\" + std::wstring(kControl) + L"\\Stale").c_str(),
                                           0, nullptr, 0, KEY_WRITE, nullptr, &stale, nullptr));
  RegCloseKey(stale);
  RegSetKeyValueW(HKEY_CLASSES_ROOT, (L"CLSID\\" + std::wstring(kPage)).c_str(), L"Stale", REG_SZ, L"x", 4);
  ASSERT_EQ(S_OK, register_());
  EXPECT_EQ(ScriptKeys(modulePath_), ScriptChanges()) << Show(ScriptChanges());
}

TEST_F(RegistrationTest, UnregistrationRemovesExactlyWhatRegistrationWroteAndKeepsTheRoots) {
  ASSERT_EQ(S_OK, register_());
  DeleteFileW(logPath_.c_str());
  EXPECT_EQ(S_OK, unregister_());
  ExpectBaseline();
  EXPECT_EQ(std::vector<std::string>{"UnregisterComponent " + kControlId}, HostCalls());
  EXPECT_EQ(S_OK, unregister_()) << "unregistering twice";
  ExpectBaseline();
}

TEST_F(RegistrationTest, WithoutTheHostRegistrationFailsAfterTheComKeysAndUnregistrationStillRemovesThem) {
  RemoveFakeHost();
  baseline_ = Snapshot(HKEY_CLASSES_ROOT);  // without the fake host's keys
  EXPECT_EQ(REGDB_E_CLASSNOTREG, register_());
  EXPECT_EQ(ScriptKeys(modulePath_), ScriptChanges()) << Show(ScriptChanges());
  EXPECT_EQ(S_OK, unregister_());
  ExpectBaseline();
}

TEST_F(RegistrationTest, AFailingHostCallStopsThePluginRegistration) {
  const std::string unregisterCall = "UnregisterComponent " + kControlId;
  const struct {
    const wchar_t* failing;
    std::vector<std::string> calls;
  } cases[] = {
      {L"RegisterComponent", {kRecordCall}},
      {L"GetRegistrationObject",
       {kRecordCall, "GetRegistrationObject \"GoogleDesktop.DisplayPluginRegistration\"", unregisterCall}},
      {L"RegisterPlugin",
       {kRecordCall, "GetRegistrationObject \"GoogleDesktop.DisplayPluginRegistration\"",
        "RegisterPlugin " + kControlId + " false", unregisterCall}},
      {L"Finish",
       {kRecordCall, "GetRegistrationObject \"GoogleDesktop.DisplayPluginRegistration\"",
        "RegisterPlugin " + kControlId + " false", "Finish", unregisterCall}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.failing));
    DeleteFileW(logPath_.c_str());
    SetEnvironmentVariableW(kFakeHostFailVariable, c.failing);
    EXPECT_EQ(FakeHostFailure(c.failing), register_());
    EXPECT_EQ(c.calls, HostCalls());
  }
  EXPECT_EQ(ScriptKeys(modulePath_), ScriptChanges()) << "the COM keys stay";
  // The host's answer to unregistration does not matter.
  SetEnvironmentVariableW(kFakeHostFailVariable, L"UnregisterComponent");
  EXPECT_EQ(S_OK, unregister_());
  ExpectBaseline();
}

// A real automation client: Wine's script host reaches the properties by
// name through the type library registered above.
TEST_F(RegistrationTest, AutomationClientSetsAndReadsThePropertiesByName) {
  ASSERT_EQ(S_OK, register_());
  const std::wstring script = FullPath(Widen(GADGET_AUTOMATION_SCRIPT));
  std::string output;
  Run(L"cscript.exe //nologo \"" + script + L"\"", &output);
  EXPECT_NE(std::string::npos, output.find("mismatches: 0")) << output;
}

TEST_F(RegistrationTest, Regsvr32RegistersAndUnregistersWithTheHostAndFailsWithoutIt) {
  EXPECT_EQ(0u, RunRegsvr32(L""));
  EXPECT_EQ(ScriptKeys(modulePath_), ScriptChanges()) << Show(ScriptChanges());
  EXPECT_EQ(4u, HostCalls().size());
  EXPECT_EQ(0u, RunRegsvr32(L"/u"));
  ExpectBaseline();

  RemoveFakeHost();
  baseline_ = Snapshot(HKEY_CLASSES_ROOT);
  EXPECT_NE(0u, RunRegsvr32(L""));
  EXPECT_EQ(ScriptKeys(modulePath_), ScriptChanges()) << "written before the host was asked";
  EXPECT_EQ(0u, RunRegsvr32(L"/u"));
  ExpectBaseline();
}

}  // namespace
}  // namespace quorvane::test

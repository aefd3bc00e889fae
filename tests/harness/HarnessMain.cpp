// QuorvaneSidebarHarness.exe: the sidebar with what scripts/run, the soak,
// the benchmarks and the tests drive it with (screenshots, a bounded run
// time, statistics and scripted steps). Built from the sidebar's library;
// never packaged.
#include <windows.h>

#include <memory>

#include "harness/HarnessOptions.h"
#include "harness/ScriptedRun.h"
#include "sidebar/SidebarProgram.h"

using namespace quorvane::sidebar;

namespace {

class HarnessRun final : public SidebarRunObserver {
 public:
  // `options` are read when the run starts, once the command line is parsed.
  explicit HarnessRun(const HarnessOptions& options) : options_(options) {}
  void Started(SidebarWindow& sidebar) override { run_ = std::make_unique<ScriptedRun>(sidebar, options_); }
  void Ended() override {
    if (run_) run_->Finish();
  }
  bool Failed() const { return run_ && run_->Failed(); }

 private:
  const HarnessOptions& options_;
  std::unique_ptr<ScriptedRun> run_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  HarnessOptions harness;
  HarnessRun run(harness);
  const int exitCode = SidebarProgramMain(
      L"QuorvaneSidebarHarness",
      [&harness](const std::vector<std::wstring>& args, std::wstring& error) -> std::optional<SidebarOptions> {
        auto command = ParseHarnessCommandLine(args, error);
        if (!command) return std::nullopt;
        harness = command->harness;
        return command->sidebar;
      },
      std::wstring(kSidebarUsage) + L"\n" + kHarnessUsage, showCommand, &run);
  // A script step that failed (a wait-until that timed out) fails the run.
  return exitCode == 0 && run.Failed() ? 4 : exitCode;
}

#pragma once
// What the sidebar does on its own during a run, driven by its command
// line: periodic screenshots, a bounded run time, a statistics log with a
// responsiveness probe, and scripted steps for tests. Steps, separated by
// ';', run in order on the window's thread (also inside modal loops, so a
// step can drive the settings frame another step opened):
//
//   wait MS              pause the script
//   capture PATH         the panel's client area as a BMP file
//   capture-window PATH  the whole window, caption included
//   capture-status PATH  the feed status window, when it is open
//   capture-screen PATH  the whole screen (dialogs and message boxes too)
//   menu TEXT            run the first gadget's menu item TEXT
//   wheel DELTA          turn the mouse wheel over the first gadget (120 is
//                        one notch up, -120 one down)
//   import-opml PATH     import as "Import feeds…" does with PATH picked
//   export-opml PATH     export as "Export feeds…" does with PATH picked
//   set-item ID TEXT     type TEXT over the text of the field with id ID
//                        in any dialog of the sidebar (the settings page)
//   press ID             click the button with id ID in any dialog
//   dump PATH            write the first gadget's settings, menu, layout,
//                        last about text, feed status rows and last import
//                        or export report (UTF-8, key=value lines)
//   windows PATH         list the windows of the sidebar's thread
//   exit                 close the sidebar as the user would
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "sidebar/SidebarOptions.h"
#include "sidebar/SidebarWindow.h"

namespace quorvane::sidebar {

class ScriptedRun {
 public:
  ScriptedRun(SidebarWindow& sidebar, const SidebarOptions& options);
  ~ScriptedRun();
  ScriptedRun(const ScriptedRun&) = delete;
  ScriptedRun& operator=(const ScriptedRun&) = delete;

  // Whether the run has anything to do: screenshots, statistics, an end
  // or steps. Only then does it need ticks.
  bool Active() const {
    return !options_.screenshotDir.empty() || !options_.statsFile.empty() || options_.runForSeconds > 0 ||
           !steps_.empty();
  }
  // Called on every tick of the sidebar window.
  void Tick();
  // Writes the last statistics line and stops the probe.
  void Finish();

 private:
  struct Step {
    std::wstring verb;
    std::wstring argument;
  };
  void RunStep(const Step& step);
  void WriteStats();
  void Dump(const std::wstring& path);
  void StartProbe();
  void StopProbe();
  double Elapsed() const;

  SidebarWindow& sidebar_;
  SidebarOptions options_;
  std::vector<Step> steps_;
  size_t nextStep_ = 0;
  double waitUntil_ = 0;
  double nextShot_ = 0;
  int shotNumber_ = 0;
  double nextStats_ = 0;
  bool finished_ = false;
  ULONGLONG start_ = 0;

  std::thread probe_;
  std::atomic<bool> probeStop_{false};
  std::atomic<uint32_t> probeMaxMs_{0};       // since the last stats line
  std::atomic<uint32_t> probeWorstMs_{0};     // whole run
  std::atomic<uint32_t> probeTimeouts_{0};
  std::atomic<uint32_t> probeCount_{0};
};

}  // namespace quorvane::sidebar

#pragma once
// What the harness does during a run, driven by its command line: periodic
// screenshots, a bounded run time, a statistics log with a responsiveness
// probe, and scripted steps for tests. Steps, separated by ';', run in order
// on the window's thread, from a timer of the harness's own window (also
// inside modal loops, so a step can drive the settings frame another step
// opened):
//
//   wait MS              pause the script (for an animation to go on)
//   wait-until MS COND   pause until COND holds (ScriptWaits.h); when it
//                        does not within MS, say so on standard error, close
//                        the sidebar and fail the run
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

#include "harness/HarnessOptions.h"
#include "harness/ScriptWaits.h"
#include "harness/TypingTicks.h"
#include "sidebar/SidebarWindow.h"
#include "win/window/OwnedWindow.h"

namespace quorvane::sidebar {

class ScriptedRun {
 public:
  ScriptedRun(SidebarWindow& sidebar, const HarnessOptions& options);
  ~ScriptedRun();
  ScriptedRun(const ScriptedRun&) = delete;
  ScriptedRun& operator=(const ScriptedRun&) = delete;

  // Writes the last statistics line and stops the probe.
  void Finish();
  // Whether a step failed (a wait-until that timed out).
  bool Failed() const { return failed_; }

 private:
  struct Step {
    std::wstring verb;
    std::wstring argument;
  };
  void Tick();
  // Whether the script may go on: no wait runs, or the awaited condition holds.
  bool WaitOver();
  // Says why on standard error, ends the script and closes the sidebar.
  void Fail(const std::wstring& why);
  void RunStep(const Step& step);
  void WriteStats();
  void Dump(const std::wstring& path);
  void StartProbe();
  void StopProbe();
  double Elapsed() const;

  SidebarWindow& sidebar_;
  HarnessOptions options_;
  OwnedWindow ticker_;
  std::vector<Step> steps_;
  size_t nextStep_ = 0;
  double waitUntil_ = 0;
  std::wstring awaited_;  // the condition of a running wait-until
  CaptureMark lastCapture_;
  TypingTickCounter typingTicks_;
  bool failed_ = false;
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

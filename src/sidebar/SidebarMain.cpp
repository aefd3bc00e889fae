// QuorvaneSidebar.exe: the sidebar that runs QuorvaneRSS and the other
// display plug-ins registered with it.
#include <windows.h>

#include "sidebar/SidebarOptions.h"
#include "sidebar/SidebarProgram.h"

using namespace quorvane::sidebar;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  return SidebarProgramMain(
      L"QuorvaneSidebar",
      [](const std::vector<std::wstring>& args, std::wstring& error) { return ParseSidebarOptions(args, error); },
      kSidebarUsage, showCommand, nullptr);
}

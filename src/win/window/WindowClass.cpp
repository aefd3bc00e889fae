#include "win/window/WindowClass.h"

#include <map>
#include <mutex>
#include <string>

#include "win/com/Module.h"

namespace quorvane {
namespace {

// Controls may live on several apartment threads at once.
std::mutex& UsesLock() {
  static std::mutex lock;
  return lock;
}

std::map<std::wstring, int>& UseCounts() {
  static std::map<std::wstring, int> counts;
  return counts;
}

}  // namespace

WindowClassUse::WindowClassUse(const wchar_t* name, WNDPROC procedure, const WindowClassStyle& look) : name_(name) {
  std::lock_guard<std::mutex> hold(UsesLock());
  if (UseCounts()[name]++ > 0) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = look.style;
  windowClass.lpfnWndProc = procedure;
  windowClass.hbrBackground = look.background;
  windowClass.hIcon = look.icon;
  windowClass.hInstance = module::Instance();
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

WindowClassUse::~WindowClassUse() {
  std::lock_guard<std::mutex> hold(UsesLock());
  if (--UseCounts()[name_] == 0) UnregisterClassW(name_, module::Instance());
}

}  // namespace quorvane

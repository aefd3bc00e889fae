#include "win/com/ModuleThread.h"

#include <memory>

#include "win/com/Module.h"

namespace quorvane {
namespace {

struct ThreadStart {
  std::function<void()> body;
  HMODULE module = nullptr;
};

DWORD WINAPI ThreadMain(void* param) {
  HMODULE module = nullptr;
  {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(param));
    module = start->module;
    // An exception leaving a thread would end the host's process; the
    // module lock and reference must be given back whatever happens.
    try {
      start->body();
    } catch (...) {
    }
  }
  module::Unlock();
  if (module) FreeLibraryAndExitThread(module, 0);
  return 0;
}

}  // namespace

UniqueHandle StartModuleThread(std::function<void()> body) {
  auto start = std::make_unique<ThreadStart>();
  start->body = std::move(body);
  // A loader reference to the module that holds this code.
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&ThreadMain),
                     &start->module);
  module::Lock();
  HANDLE thread = CreateThread(nullptr, 0, ThreadMain, start.get(), 0, nullptr);
  if (!thread) {
    module::Unlock();
    if (start->module) FreeLibrary(start->module);
    return {};
  }
  start.release();  // the thread owns it now
  return UniqueHandle(thread);
}

}  // namespace quorvane

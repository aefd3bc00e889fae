# Settings for the cross-built Windows half: wide Win32 APIs, a static
# runtime (the DLL imports only system DLLs), GoogleTest from Debian's
# sources, and the Wine runner for tests and tools.

enable_language(RC)  # the module's resources (src/host/res)

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
add_link_options(-static)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # The .def files name the exports undecorated; the 32-bit compiler
  # decorates the stdcall functions (_DllCanUnloadNow@0), and the linker is
  # to match the two without a warning for each.
  add_link_options(-Wl,--enable-stdcall-fixup)
endif()
set(CMAKE_SHARED_LIBRARY_PREFIX "")

set(QUORVANE_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run CACHE INTERNAL "")
set(ENV{QUORVANE_BUILD_DIR} ${CMAKE_BINARY_DIR})

# GoogleTest built with the cross compiler from /usr/src/googletest.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -w)
target_compile_options(gtest_main PRIVATE -w)
if(NOT TARGET GTest::gtest_main)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()

# widl of the target's bitness; it imports stdole2.tlb from Wine's PE
# libraries of the same bitness (64-bit from wine64, 32-bit from wine32).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  find_program(QUORVANE_WIDL NAMES x86_64-w64-mingw32-widl REQUIRED)
  set(QUORVANE_WIDL_FLAGS --win64 -I/usr/include/wine/wine/windows
      -L /usr/lib/x86_64-linux-gnu/wine/x86_64-windows CACHE INTERNAL "")
else()
  find_program(QUORVANE_WIDL NAMES i686-w64-mingw32-widl REQUIRED)
  set(QUORVANE_WIDL_FLAGS --win32 -I/usr/include/wine/wine/windows
      -L /usr/lib/i386-linux-gnu/wine/i386-windows CACHE INTERNAL "")
endif()
list(GET QUORVANE_WIDL_FLAGS -1 wine_pe_dir)
if(NOT EXISTS /usr/include/wine/wine/windows/oaidl.idl)
  message(FATAL_ERROR "/usr/include/wine/wine/windows/oaidl.idl is missing: libwine-dev (run scripts/deps)")
endif()
if(NOT EXISTS ${wine_pe_dir}/stdole2.tlb)
  message(FATAL_ERROR "${wine_pe_dir}/stdole2.tlb is missing: wine64 or wine32:i386 (run scripts/deps)")
endif()

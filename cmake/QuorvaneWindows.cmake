# Settings for the cross-built Windows half: wide Win32 APIs, a static
# runtime (the DLL imports only system DLLs), GoogleTest from Debian's
# sources, and the Wine runner for tests and tools.

enable_language(RC)  # the module's resources (src/host/res)

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
add_link_options(-static)
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

find_program(QUORVANE_WIDL NAMES x86_64-w64-mingw32-widl widl REQUIRED)
set(QUORVANE_WIDL_FLAGS --win64 -I/usr/include/wine/wine/windows
    -L /usr/lib/x86_64-linux-gnu/wine/x86_64-windows CACHE INTERNAL "")

# The Windows half of the product: everything that needs <windows.h>,
# linked into the DLL and into the Wine tests.
add_library(quorvane_shell STATIC)
target_include_directories(quorvane_shell PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(quorvane_shell PUBLIC quorvane_core
  wininet ole32 oleaut32 uuid comctl32 shell32 shlwapi gdi32 user32 advapi32)

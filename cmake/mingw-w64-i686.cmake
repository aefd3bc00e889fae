# Cross toolchain for the 32-bit build: MinGW-w64 i686. Its programs run
# under Wine's WoW64.
set(QUORVANE_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-toolchain.cmake)

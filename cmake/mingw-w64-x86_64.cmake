# Cross toolchain for the 64-bit build: MinGW-w64 x86_64.
set(QUORVANE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-toolchain.cmake)

# Cross toolchain: 64-bit Windows through Debian's mingw-w64 (POSIX threads
# flavour, so std::thread and friends work). The result runs under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PIX_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Cross-compiles 64-bit Windows programs (PE32+, x86-64) with MinGW-w64: the build that runs where
# 32-bit x86 code cannot.
set(ZQ_MINGW_TRIPLE x86_64-w64-mingw32)
set(ZQ_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

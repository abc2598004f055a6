# Cross-compiles 32-bit Windows programs (PE32, i686), the product, with MinGW-w64.
set(ZQ_MINGW_TRIPLE i686-w64-mingw32)
set(ZQ_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

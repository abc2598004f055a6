# Cross-compiles Windows programs with MinGW-w64 for ZQ_MINGW_TRIPLE (set by mingw-i686.cmake or
# mingw-x86_64.cmake). The posix thread model gives the C++ library std::mutex, which GoogleTest
# needs; -static links it into each program.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${ZQ_MINGW_PROCESSOR})

set(CMAKE_C_COMPILER ${ZQ_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZQ_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZQ_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZQ_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The C and C++ runtimes go into each program, so it needs only DLLs that ship with Windows;
# unused functions and data are left out.
set(CMAKE_C_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--gc-sections")

# Benchmark programs (bench/run.sh measures them against the tester).
# The baseline: one owner-drawn key lamp in plain Win32, built like the program itself.
add_executable(baseline WIN32 bench/baseline.cpp)
target_compile_options(baseline PRIVATE ${ZQ_WARNINGS} -fno-exceptions)
target_link_libraries(baseline PRIVATE user32 gdi32)
target_link_options(baseline PRIVATE -s)

# Keeps Wine's desktop process up between bench/run.sh's start-up runs (see bench/README.md).
add_executable(desktop_holder WIN32 bench/desktop_holder.cpp)
target_compile_options(desktop_holder PRIVATE ${ZQ_WARNINGS} -fno-exceptions)
target_link_libraries(desktop_holder PRIVATE user32)
target_link_options(desktop_holder PRIVATE -s)

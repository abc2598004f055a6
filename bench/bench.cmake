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

# The floor: the tester's own dialog, resources, start-up and key work in plain Win32 with no
# framework, built like the program itself.
add_executable(floor WIN32 bench/floor.cpp ${ZQ_RESOURCES})
target_include_directories(floor PRIVATE res)
target_link_libraries(floor PRIVATE keylogic user32 gdi32 imm32)
target_compile_options(floor PRIVATE ${ZQ_PROGRAM_OPTIONS})
target_link_options(floor PRIVATE -s)

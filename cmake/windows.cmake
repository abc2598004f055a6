# Windows build: the framework layer, the program and the test programs that need real windows.
# Test programs run under Wine (cmake/wine-run.sh), with a Wine prefix of the build's own.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh ${CMAKE_BINARY_DIR}/wineprefix)

add_library(framework STATIC framework/wnd.cpp framework/dialog.cpp framework/gdi.cpp framework/app.cpp)
target_include_directories(framework PUBLIC framework)
target_compile_options(framework PRIVATE ${ZQ_WARNINGS})
target_link_libraries(framework PUBLIC user32 gdi32)

add_library(keypanel STATIC keys/key_button.cpp)
target_link_libraries(keypanel PUBLIC framework keylogic)
target_compile_options(keypanel PRIVATE ${ZQ_WARNINGS})

add_executable(key_button_tests keys/key_button_test.cpp tests/window_test_support.cpp)
target_include_directories(key_button_tests PRIVATE tests)
target_link_libraries(key_button_tests PRIVATE keypanel gtest_main)
target_compile_options(key_button_tests PRIVATE ${ZQ_WARNINGS})
add_test(NAME key_button_tests COMMAND key_button_tests)

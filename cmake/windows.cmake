# Windows build: the framework layer, the program and the test programs that need real windows.
# Test programs run under Wine (cmake/wine-run.sh), with a Wine prefix of the build's own.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh ${CMAKE_BINARY_DIR}/wineprefix)

# The program's own code uses no exceptions, which keeps the C++ runtime's exception support
# (and most of the executable's size) out of the program; the test programs still use them.
set(ZQ_PROGRAM_OPTIONS ${ZQ_WARNINGS} -fno-exceptions)
target_compile_options(keylogic PRIVATE -fno-exceptions)

add_library(framework STATIC framework/wnd.cpp framework/dialog.cpp framework/gdi.cpp framework/app.cpp)
target_include_directories(framework PUBLIC framework)
target_compile_options(framework PRIVATE ${ZQ_PROGRAM_OPTIONS})
target_link_libraries(framework PUBLIC user32 gdi32)

add_library(keypanel STATIC keys/key_button.cpp)
target_link_libraries(keypanel PUBLIC framework keylogic)
target_compile_options(keypanel PRIVATE ${ZQ_PROGRAM_OPTIONS})

add_executable(key_button_tests keys/key_button_test.cpp tests/window_test_support.cpp)
target_include_directories(key_button_tests PRIVATE tests)
target_link_libraries(key_button_tests PRIVATE keypanel gtest_main)
target_compile_options(key_button_tests PRIVATE ${ZQ_WARNINGS})
add_test(NAME key_button_tests COMMAND key_button_tests)

# The program: the application shell around the key panel.
enable_language(RC)
add_library(shell STATIC dialogs/tester_dlg.cpp dialogs/about_dlg.cpp)
target_include_directories(shell PUBLIC dialogs res)
target_link_libraries(shell PUBLIC keypanel)
target_compile_options(shell PRIVATE ${ZQ_PROGRAM_OPTIONS})

set(ZQ_RESOURCES ${CMAKE_SOURCE_DIR}/res/tester.rc)
set_source_files_properties(${ZQ_RESOURCES} PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/resource.h;${CMAKE_SOURCE_DIR}/res/tester.ico;${CMAKE_SOURCE_DIR}/res/logo.bmp;${CMAKE_SOURCE_DIR}/res/tester.manifest")

add_executable(zentaq_tester WIN32 app/tester_app.cpp ${ZQ_RESOURCES})
set_target_properties(zentaq_tester PROPERTIES OUTPUT_NAME "ZENTAQ Tester")
target_include_directories(zentaq_tester PRIVATE app res)
target_link_libraries(zentaq_tester PRIVATE shell)
target_compile_options(zentaq_tester PRIVATE ${ZQ_PROGRAM_OPTIONS})
target_link_options(zentaq_tester PRIVATE -s)

# The dialogs tested as the program runs them: same application object, same resources.
add_executable(tester_dlg_tests app/tester_app.cpp tests/tester_dlg_test.cpp tests/tester_harness.cpp tests/modal_script.cpp
                                tests/window_test_support.cpp ${ZQ_RESOURCES})
target_include_directories(tester_dlg_tests PRIVATE app res tests)
target_link_libraries(tester_dlg_tests PRIVATE shell gtest_main version)
target_compile_options(tester_dlg_tests PRIVATE ${ZQ_WARNINGS})
add_test(NAME tester_dlg_tests COMMAND tester_dlg_tests)
# The arrow labels as Chinese (Simplified) Windows shows them: Wine in the zh_CN locale (ANSI code
# page 936), with a CJK font standing in for SimSun, which Wine then links to every font as the
# fallback for characters the font lacks, as Windows does.
add_test(NAME tester_dlg_tests_zh_CN
         COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-variant.sh --locale zh_CN.UTF-8
                 --font-replacement "SimSun=WenQuanYi Micro Hei" ${CMAKE_BINARY_DIR}/wineprefix-zh_CN
                 $<TARGET_FILE:tester_dlg_tests> --gtest_filter=TesterDialog.TheArrowLabels*)
# The test skips itself where the code page is not 936; here that means the set-up failed.
set_tests_properties(tester_dlg_tests_zh_CN PROPERTIES FAIL_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
# The dialog at 144 DPI (150 %): it scales, every key lights only itself, the labels stay centred.
add_test(NAME tester_dlg_tests_144dpi
         COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-variant.sh --dpi 144 ${CMAKE_BINARY_DIR}/wineprefix-144dpi
                 $<TARGET_FILE:tester_dlg_tests> --gtest_filter=TesterDialog.AtTheScreenDpi*)
set_tests_properties(tester_dlg_tests_144dpi PROPERTIES ENVIRONMENT ZQ_DPI=144)

add_executable(soak_tests app/tester_app.cpp tests/soak_test.cpp tests/tester_harness.cpp tests/modal_script.cpp
                          ${ZQ_RESOURCES})
target_include_directories(soak_tests PRIVATE app res tests)
target_link_libraries(soak_tests PRIVATE shell gtest_main psapi)
target_compile_options(soak_tests PRIVATE ${ZQ_WARNINGS})
add_test(NAME soak_tests COMMAND soak_tests)

set_tests_properties(key_button_tests tester_dlg_tests tester_dlg_tests_zh_CN tester_dlg_tests_144dpi soak_tests
                     PROPERTIES TIMEOUT 120)
include(bench/bench.cmake)
include(tests/e2e/e2e.cmake)

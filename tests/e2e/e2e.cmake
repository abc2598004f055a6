# End-to-end test: the program as a person uses it, with real key presses and clicks on a private
# X server, checked on the screen (tests/e2e/e2e_test.py). The probe runs under Wine beside the
# program and reports where its windows and keys are. The test has a Wine prefix of its own, as
# it ends every Wine process of its prefix when done. The program runs as scripts/run.sh starts
# it: in the ANSI code page 936, its users' own.
add_executable(e2e_probe tests/e2e/probe.cpp)
target_include_directories(e2e_probe PRIVATE tests)
target_compile_options(e2e_probe PRIVATE ${ZQ_WARNINGS})
target_link_libraries(e2e_probe PRIVATE user32)

if(ZQ_WINE_TESTS STREQUAL "ALL")
    # Each run on an X server of its own.
    set(e2e ${CMAKE_SOURCE_DIR}/scripts/with-xvfb.sh python3 ${CMAKE_SOURCE_DIR}/tests/e2e/e2e_test.py)
    add_test(NAME ${ZQ_WINE_ARCH}.e2e
             COMMAND ${e2e} --code-page 936
                     $<TARGET_FILE:zentaq_tester> $<TARGET_FILE:e2e_probe>
                     ${ZQ_WINE_RUN} ${ZQ_WINE_ARCH} ${CMAKE_BINARY_DIR}/wineprefix-e2e
                     ${CMAKE_BINARY_DIR}/tester.png)
    set_tests_properties(${ZQ_WINE_ARCH}.e2e PROPERTIES TIMEOUT 180)
    # The German layout: dead keys, AltGr, and punctuation keys Wine gives codes of its choosing.
    add_test(NAME ${ZQ_WINE_ARCH}.e2e_de
             COMMAND ${e2e} --layout de --code-page 936
                     $<TARGET_FILE:zentaq_tester> $<TARGET_FILE:e2e_probe>
                     ${ZQ_WINE_RUN} ${ZQ_WINE_ARCH} ${CMAKE_BINARY_DIR}/wineprefix-e2e-de)
    set_tests_properties(${ZQ_WINE_ARCH}.e2e_de PROPERTIES TIMEOUT 180)
endif()

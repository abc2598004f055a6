# The Windows test download: the test programs that need no Linux, the tester and run-tests.cmd,
# in one folder, download/ZENTAQ-Tester-<version>-<arch>-tests. The release command zips that
# folder; <arch>.download runs it through Wine's cmd as a Windows user would run it.
add_executable(run_tests tests/download/run_tests.cpp)
target_compile_options(run_tests PRIVATE ${ZQ_WARNINGS})

set(ZQ_TESTS_DOWNLOAD ZENTAQ-Tester-${PROJECT_VERSION}-${ZQ_WINE_ARCH}-tests)
set(download ${CMAKE_BINARY_DIR}/download/${ZQ_TESTS_DOWNLOAD})
configure_file(tests/download/run-tests.cmd ${CMAKE_BINARY_DIR}/generated/run-tests.cmd @ONLY NEWLINE_STYLE CRLF)
set(programs zentaq_tester run_tests key_button_tests tester_dlg_tests soak_tests)
set(files ${CMAKE_BINARY_DIR}/generated/run-tests.cmd)
foreach(program IN LISTS programs)
    list(APPEND files $<TARGET_FILE:${program}>)
endforeach()
add_custom_target(tests_download ALL
                  COMMAND ${CMAKE_COMMAND} -E rm -rf ${download}
                  COMMAND ${CMAKE_COMMAND} -E make_directory ${download}
                  COMMAND ${CMAKE_COMMAND} -E copy ${files} ${download}
                  DEPENDS ${programs} VERBATIM)
# The test programs carry no trace of the folders they were built in, nor of the time, so the
# download is the same from every clone.
foreach(program IN LISTS programs)
    if(NOT program STREQUAL zentaq_tester)
        target_link_options(${program} PRIVATE -s -Wl,--no-insert-timestamp)
    endif()
endforeach()
foreach(target IN ITEMS dialog_fixture key_button_tests run_tests)
    target_compile_options(${target} PUBLIC -ffile-prefix-map=${CMAKE_SOURCE_DIR}/=)
endforeach()

if(ZQ_WINE_TESTS STREQUAL "ALL")
    add_test(NAME ${ZQ_WINE_ARCH}.download
             COMMAND ${CMAKE_COMMAND} -DDOWNLOAD=${download} -DRUN=${CMAKE_BINARY_DIR}/download-run
                     "-DWINE_RUN=${ZQ_WINE_RUN};${ZQ_WINE_ARCH};${CMAKE_BINARY_DIR}/wineprefix"
                     -P ${CMAKE_SOURCE_DIR}/tests/download/check-download.cmake)
    set_tests_properties(${ZQ_WINE_ARCH}.download PROPERTIES TIMEOUT 1500)
endif()

# zq_wine_setup(NAME PROGRAM TARGET SUITES SUITE... [OPTIONS OPTION...] [ENVIRONMENT VAR=VALUE...]
#               [BUILDS ALL]): the SUITES of TARGET under Wine started with OPTIONS (wine-run.sh) and
# ENVIRONMENT; with BUILDS ALL only where every Windows test runs (ZQ_WINE_TESTS=ALL). NAME plain
# runs in the build's prefix, each case a CTest test (win32.Suite.Case; a case that skips itself
# shows as skipped); another NAME is one test, ARCH.TARGET_NAME, in the prefix wineprefix-NAME.
# CTest lists the cases when it runs (cmake/wine-gtest-list.cmake), as listing runs the program
# under Wine; the test command makes the prefix before. Two checks fail as one test each and let
# the others run: win32.TARGET.list, the program could not list its cases (a time-out included),
# and win32.TARGET.suites, a suite no set-up runs or a set-up's suite the program lacks.
function(zq_wine_setup name)
    cmake_parse_arguments(arg "" "PROGRAM;BUILDS" "SUITES;OPTIONS;ENVIRONMENT" ${ARGN})
    # Every set-up names its suites, whether or not this build runs it.
    set_property(GLOBAL APPEND PROPERTY ZQ_NAMED_${arg_PROGRAM} ${arg_SUITES})
    if(arg_BUILDS STREQUAL "ALL" AND NOT ZQ_WINE_TESTS STREQUAL "ALL")
        return()
    endif()
    if(name STREQUAL "plain")
        if(arg_OPTIONS OR arg_ENVIRONMENT)
            message(FATAL_ERROR "the plain set-up of ${arg_PROGRAM} runs as the build's prefix is, with no options")
        endif()
        set_property(GLOBAL APPEND PROPERTY ZQ_LISTED ${arg_PROGRAM})
        set_property(GLOBAL APPEND PROPERTY ZQ_RUN_${arg_PROGRAM} ${arg_SUITES})
        return()
    endif()
    list(JOIN arg_SUITES ".*:" filter)
    set(test ${ZQ_WINE_ARCH}.${arg_PROGRAM}_${name})
    add_test(NAME ${test} COMMAND ${ZQ_WINE_RUN} ${arg_OPTIONS} ${ZQ_WINE_ARCH} ${CMAKE_BINARY_DIR}/wineprefix-${name}
                                  $<TARGET_FILE:${arg_PROGRAM}> --gtest_filter=${filter}.*)
    set_tests_properties(${test} PROPERTIES TIMEOUT 120 ENVIRONMENT "${arg_ENVIRONMENT}")
endfunction()

# Once every set-up is declared: the listing of each program with a plain set-up.
function(zq_write_wine_listings)
    get_property(programs GLOBAL PROPERTY ZQ_LISTED)
    foreach(target IN LISTS programs)
        get_property(run GLOBAL PROPERTY ZQ_RUN_${target})
        get_property(named GLOBAL PROPERTY ZQ_NAMED_${target})
        set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_list.cmake)
        set(command ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${target}>)
        file(GENERATE OUTPUT ${list_file} CONTENT "\
set(command [==[${command}]==])
set(cmake [==[${CMAKE_COMMAND}]==])
set(prefix ${ZQ_WINE_ARCH}.)
set(target ${target})
set(run [==[${run}]==])
set(named [==[${named}]==])
include([==[${CMAKE_SOURCE_DIR}/cmake/wine-gtest-list.cmake]==])
")
        set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${list_file})
    endforeach()
endfunction()
cmake_language(DEFER CALL zq_write_wine_listings)

# zq_wine_setup(NAME PROGRAM TARGET SUITES SUITE... [OPTIONS OPTION...] [ENVIRONMENT VAR=VALUE...]
#               [BUILDS ALL|ANY]): the SUITES of TARGET under Wine started with OPTIONS
# (scripts/wine-run.sh) and ENVIRONMENT. BUILDS ALL: only in a build that runs every Windows test
# (ZQ_WINE_TESTS=ALL); ANY (the default): in the in-process one too.
# The set-up named `plain` runs in the build's own prefix, and each GoogleTest case of its suites
# becomes a CTest test of its own, named after the build (win32.Suite.Case), so a failure names its
# case and its build; a case that skips itself shows as skipped, not passed. Any other set-up is
# one CTest test, ARCH.TARGET_NAME, in a prefix of its own (wineprefix-NAME).
# The cases are listed when CTest runs (cmake/wine-gtest-list.cmake), as listing them runs the
# program under Wine. Two checks fail as one test each and let the others run, instead of ending
# the whole CTest run:
#   win32.TARGET.list     the program could not list its cases, for whatever reason (a time-out
#                         included); none of its cases counts as passed
#   win32.TARGET.suites   a suite of the program that no set-up runs, or a suite a set-up names
#                         that the program does not have
# The test command makes the build's prefix before CTest starts; the time limit covers a first one.
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

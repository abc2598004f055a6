# zq_wine_setup(NAME PROGRAM TARGET SUITES SUITE... [OPTIONS OPTION...] [ENVIRONMENT VAR=VALUE...]
#               [BUILDS ALL]): the SUITES of TARGET under Wine started with OPTIONS (wine-run.sh) and
# ENVIRONMENT; with BUILDS ALL only where ZQ_WINE_TESTS is ALL. NAME plain runs in the build's
# prefix, a CTest test a case (win32.Suite.Case), listed when CTest runs
# (cmake/wine-gtest-list.cmake); another NAME is one test, ARCH.TARGET_NAME, in wineprefix-NAME.
function(zq_wine_setup name)
    cmake_parse_arguments(arg "" "PROGRAM;BUILDS" "SUITES;OPTIONS;ENVIRONMENT" ${ARGN})
    # Every set-up names its suites, whether or not this build runs it.
    set_property(GLOBAL APPEND PROPERTY ZQ_NAMED_${arg_PROGRAM} ${arg_SUITES})
    if(arg_BUILDS STREQUAL "ALL" AND NOT ZQ_WINE_TESTS STREQUAL "ALL")
        return()
    endif()
    if(name STREQUAL "plain" AND (arg_OPTIONS OR arg_ENVIRONMENT))
        message(FATAL_ERROR "the plain set-up of ${arg_PROGRAM} runs as the build's prefix is, with no options")
    elseif(name STREQUAL "plain")
        set_property(GLOBAL APPEND PROPERTY ZQ_LISTED ${arg_PROGRAM})
        set_property(GLOBAL APPEND PROPERTY ZQ_RUN_${arg_PROGRAM} ${arg_SUITES})
        return()
    endif()
    list(JOIN arg_SUITES ".*:" filter)
    set(test ${ZQ_WINE_ARCH}.${arg_PROGRAM}_${name})
    add_test(NAME ${test} COMMAND ${ZQ_WINE_RUN} ${arg_OPTIONS} ${ZQ_WINE_ARCH} ${CMAKE_BINARY_DIR}/wineprefix-${name}
                                  $<TARGET_FILE:${arg_PROGRAM}> --gtest_filter=${filter}.*)
    # A suite that finds the set-up is not what it checks skips, and CTest says it was not run.
    set_tests_properties(${test} PROPERTIES TIMEOUT 120 ENVIRONMENT "${arg_ENVIRONMENT}"
                                            SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
endfunction()

# Once every set-up is declared: the listing of each program with a plain set-up.
function(zq_write_wine_listings)
    get_property(programs GLOBAL PROPERTY ZQ_LISTED)
    foreach(target IN LISTS programs)
        get_property(run GLOBAL PROPERTY ZQ_RUN_${target})
        get_property(named GLOBAL PROPERTY ZQ_NAMED_${target})
        set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_list.cmake)
        file(GENERATE OUTPUT ${list_file} CONTENT "\
set(command [==[${CMAKE_CROSSCOMPILING_EMULATOR};$<TARGET_FILE:${target}>]==])
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

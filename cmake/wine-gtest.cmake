# zq_add_wine_gtests(TARGET SUITES SUITE... [ELSEWHERE SUITE...]): each GoogleTest case of the
# SUITES of TARGET becomes a CTest test of its own, named after the build (win32.Suite.Case), so
# a failure names its case and its build. The ELSEWHERE suites are run by Wine set-ups of their
# own. A case that skips itself shows as skipped, not passed. The cases are listed when CTest
# runs, as listing them runs the program under Wine. Two checks fail as one test each and let the
# others run, instead of ending the whole CTest run:
#   win32.TARGET.list     the program could not list its cases, for whatever reason (a time-out
#                         included); none of its cases counts as passed
#   win32.TARGET.suites   a suite of the program that no run picks up, or a suite named here
#                         that the program does not have
# The test command makes the Wine prefix before CTest starts; the time limit covers a first one.
function(zq_add_wine_gtests target)
    cmake_parse_arguments(arg "" "" "SUITES;ELSEWHERE" ${ARGN})
    set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_list.cmake)
    set(command ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${target}>)
    file(GENERATE OUTPUT ${list_file} CONTENT "\
set(command [==[${command}]==])
set(prefix ${ZQ_WINE_ARCH}.)
set(run \"${arg_SUITES}\")
set(named \"${arg_SUITES};${arg_ELSEWHERE}\")
execute_process(COMMAND \${command} --gtest_list_tests OUTPUT_VARIABLE listing ERROR_VARIABLE listing
                RESULT_VARIABLE status TIMEOUT 300)
if(NOT status EQUAL 0)
    add_test(\${prefix}${target}.list ${CMAKE_COMMAND} -E echo
             \"${target} could not list its test cases under Wine (\${status}): \${listing}\")
    set_tests_properties(\${prefix}${target}.list PROPERTIES WILL_FAIL TRUE)
    return()
endif()
string(REPLACE \";\" \"\" listing \"\${listing}\")
string(REPLACE \"\\n\" \";\" lines \"\${listing}\")
set(listed)
foreach(line IN LISTS lines)
    if(line MATCHES \"^([A-Za-z0-9_]+)\\\\.$\")
        set(suite \${CMAKE_MATCH_1})
        list(APPEND listed \${suite})
        list(FIND run \${suite} in_run)
    elseif(line MATCHES \"^  ([A-Za-z0-9_]+)$\" AND DEFINED suite AND in_run GREATER -1)
        set(name \${suite}.\${CMAKE_MATCH_1})
        add_test(\${prefix}\${name} \${command} --gtest_filter=\${name})
        set_tests_properties(\${prefix}\${name} PROPERTIES TIMEOUT 120 SKIP_REGULAR_EXPRESSION \"\\\\[  SKIPPED \\\\]\")
    endif()
endforeach()
set(unrun \${listed})
list(REMOVE_ITEM unrun \${named})
set(missing \${named})
list(REMOVE_ITEM missing \${listed} \"\")
if(unrun OR missing)
    add_test(\${prefix}${target}.suites ${CMAKE_COMMAND} -E echo
             \"${target}: suites no run picks up: \${unrun}; suites named for a run that ${target} lacks: \${missing}\")
    set_tests_properties(\${prefix}${target}.suites PROPERTIES WILL_FAIL TRUE)
endif()
")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${list_file})
endfunction()

# Run by CTest (cmake/wine-gtest.cmake) with `command`, `prefix`, `target`, `cmake`, `run` and
# `named` set: lists the program's cases under Wine and adds a test for each case of the suites in
# `run`. Two checks fail as one test each and let the others run: TARGET.list, the program could
# not list its cases (a time-out included), and TARGET.suites, a suite no set-up names or a named
# suite the program lacks.
execute_process(COMMAND ${command} --gtest_list_tests OUTPUT_VARIABLE listing ERROR_VARIABLE listing
                RESULT_VARIABLE status TIMEOUT 300)
if(NOT status EQUAL 0)
    add_test(${prefix}${target}.list ${cmake} -E echo
             "${target} could not list its test cases under Wine (${status}): ${listing}")
    set_tests_properties(${prefix}${target}.list PROPERTIES WILL_FAIL TRUE)
    return()
endif()
string(REPLACE ";" "" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(listed)
foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Za-z0-9_]+)\\.$")
        set(suite ${CMAKE_MATCH_1})
        list(APPEND listed ${suite})
        list(FIND run ${suite} in_run)
    elseif(line MATCHES "^  ([A-Za-z0-9_]+)$" AND DEFINED suite AND in_run GREATER -1)
        set(name ${suite}.${CMAKE_MATCH_1})
        add_test(${prefix}${name} ${command} --gtest_filter=${name})
        set_tests_properties(${prefix}${name} PROPERTIES TIMEOUT 120 SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
    endif()
endforeach()
set(unrun ${listed})
list(REMOVE_ITEM unrun ${named})
set(missing ${named})
list(REMOVE_ITEM missing ${listed} "")
if(unrun OR missing)
    add_test(${prefix}${target}.suites ${cmake} -E echo
             "${target}: suites no run picks up: ${unrun}; suites named for a run that ${target} lacks: ${missing}")
    set_tests_properties(${prefix}${target}.suites PROPERTIES WILL_FAIL TRUE)
endif()

# zq_add_wine_gtests(TARGET [EXCLUDE PATTERN]): each GoogleTest case of TARGET (but those that
# PATTERN matches: cases that only a Wine variant can run) becomes a CTest test of its own, named
# after the build (win32.Suite.Case), so a failure names its case and its build. A case that
# skips itself shows as skipped, not passed. The cases are listed when CTest runs, as listing
# them runs the program under Wine. A program that cannot list its cases, for whatever reason (a
# time-out included), becomes one failing test (win32.TARGET.list) that says why, instead of
# ending the whole CTest run: the other tests still run, and none of its cases counts as passed.
# The test command makes the Wine prefix before CTest starts; the time limit covers a first one.
function(zq_add_wine_gtests target)
    cmake_parse_arguments(arg "" "EXCLUDE" "" ${ARGN})
    if(NOT arg_EXCLUDE)
        set(arg_EXCLUDE "^$")  # no case has an empty name
    endif()
    set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_list.cmake)
    set(command ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${target}>)
    file(GENERATE OUTPUT ${list_file} CONTENT "\
set(command [==[${command}]==])
set(prefix ${ZQ_WINE_ARCH}.)
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
foreach(line IN LISTS lines)
    if(line MATCHES \"^([A-Za-z0-9_]+)\\\\.$\")
        set(suite \${CMAKE_MATCH_1})
    elseif(line MATCHES \"^  ([A-Za-z0-9_]+)$\" AND DEFINED suite)
        set(name \${suite}.\${CMAKE_MATCH_1})
        if(NOT \"\${name}\" MATCHES [==[${arg_EXCLUDE}]==])
            add_test(\${prefix}\${name} \${command} --gtest_filter=\${name})
            set_tests_properties(\${prefix}\${name} PROPERTIES TIMEOUT 120
                                 SKIP_REGULAR_EXPRESSION \"\\\\[  SKIPPED \\\\]\")
        endif()
    endif()
endforeach()
")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${list_file})
endfunction()

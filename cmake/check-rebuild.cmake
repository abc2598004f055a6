# Builds the program a second time, from a copy of the sources in another folder, and fails on any
# byte that differs from the program built: cmake -DSRC=... -DBUILD_DIR=... -DEXE=...
#   -DTOOLCHAIN=mingw-i686.cmake|mingw-x86_64.cmake -DBUILD_TYPE=... [-DSTAMP=...] -P check-rebuild.cmake
# STAMP is the first build's SOURCE_DATE_EPOCH; the test runs this under another clock (faketime).
set(other ${BUILD_DIR}/rebuilt-elsewhere)
file(REMOVE_RECURSE ${other})
file(GLOB entries LIST_DIRECTORIES true ${SRC}/*)
foreach(entry IN LISTS entries)
    get_filename_component(name ${entry} NAME)
    string(FIND "${BUILD_DIR}/" "${entry}/" inside)
    if(NOT name MATCHES "^(\\.|build$|dist$)" AND NOT inside EQUAL 0)
        file(COPY ${entry} DESTINATION ${other}/sources)
    endif()
endforeach()

if(STAMP)
    set(ENV{SOURCE_DATE_EPOCH} ${STAMP})
else()
    unset(ENV{SOURCE_DATE_EPOCH})
endif()
set(configure -S ${other}/sources -B ${other}/build -DCMAKE_TOOLCHAIN_FILE=${other}/sources/cmake/${TOOLCHAIN}
              -DCMAKE_BUILD_TYPE=${BUILD_TYPE} -DBUILD_TESTING=OFF)
set(build --build ${other}/build -j 2 --target zentaq_tester)
foreach(step IN ITEMS configure build)
    execute_process(COMMAND ${CMAKE_COMMAND} ${${step}} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "the second build failed (cmake ${${step}}):\n${output}")
    endif()
endforeach()

set(again "${other}/build/ZENTAQ Tester.exe")
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${EXE}" "${again}" RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
    execute_process(COMMAND cmp -l "${EXE}" "${again}" OUTPUT_VARIABLE bytes ERROR_VARIABLE bytes)
    string(REGEX MATCHALL "[^\n]+" bytes "${bytes}")
    list(LENGTH bytes count)
    list(SUBLIST bytes 0 8 first)
    list(JOIN first "\n" first)
    message(FATAL_ERROR "${again}, built from the same sources elsewhere under another clock, differs from ${EXE} "
                        "in ${count} bytes (cmp -l: offset, octal byte values):\n${first}")
endif()
file(REMOVE_RECURSE ${other})
message(STATUS "${EXE}: built again from ${other}/sources under another clock, the same bytes")

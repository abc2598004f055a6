# Native build: the Windows-free logic with its tests, under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a bounded fuzz run of the router.
set(ZQ_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
target_compile_options(keylogic PUBLIC ${ZQ_SANITIZE})
target_link_options(keylogic PUBLIC ${ZQ_SANITIZE})

if(NOT BUILD_TESTING)
    return()
endif()

add_executable(keylogic_tests keys/key_table_test.cpp keys/key_router_test.cpp keys/key_name_test.cpp)
target_include_directories(keylogic_tests PRIVATE tests)
target_link_libraries(keylogic_tests PRIVATE keylogic gtest_main)
target_compile_options(keylogic_tests PRIVATE ${ZQ_WARNINGS})
gtest_discover_tests(keylogic_tests)

if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    # Coverage feedback from the router and the table, not just from the driver.
    target_compile_options(keylogic PRIVATE -fsanitize=fuzzer-no-link)
    add_executable(key_router_fuzz keys/key_router_fuzz.cpp)
    target_link_libraries(key_router_fuzz PRIVATE keylogic)
    target_compile_options(key_router_fuzz PRIVATE ${ZQ_WARNINGS} -fsanitize=fuzzer)
    target_link_options(key_router_fuzz PRIVATE -fsanitize=fuzzer)
    # A bounded run seeded from the committed corpus; new inputs and findings go to the build
    # folder, never into the source tree.
    set(ZQ_FUZZ_RUNS 200000 CACHE STRING "Inputs the test command's fuzz run tries")
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz_corpus)
    add_test(NAME key_router_fuzz
             COMMAND key_router_fuzz -runs=${ZQ_FUZZ_RUNS} -seed=1 -max_len=128
                     -artifact_prefix=${CMAKE_BINARY_DIR}/
                     ${CMAKE_BINARY_DIR}/fuzz_corpus ${CMAKE_SOURCE_DIR}/keys/fuzz_corpus)
else()
    message(WARNING "The router fuzz run needs clang's libFuzzer; configure with CXX=clang++.")
endif()

# The set-up's install decisions, with stand-ins for apt-get and dpkg: no root, no network.
add_test(NAME setup.install COMMAND ${CMAKE_SOURCE_DIR}/scripts/lib/install_test.sh)

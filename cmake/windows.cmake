# Windows build: the framework layer, the program and the test programs that need real windows.
# The same sources build as PE32 (i686, the product) and as PE32+ (x86-64, for machines that
# cannot run 32-bit code). Test programs run under the Wine of their own bitness
# (scripts/wine-run.sh, ZQ_WINE_RUN), with a Wine prefix of the build's own.
# Windows builds a program's activation context from its manifest and refuses to start one whose
# manifest names another processor ("side-by-side configuration is incorrect").
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(ZQ_WINE_ARCH win64)
    set(ZQ_MANIFEST_ARCH amd64)
    set(ZQ_RUNS_ON "64-bit (x64) Windows: Windows XP x64 Edition, Windows Server 2003 or later, or Wine")
else()
    set(ZQ_WINE_ARCH win32)
    set(ZQ_MANIFEST_ARCH x86)
    set(ZQ_RUNS_ON "Windows 2000 or later, 32-bit or 64-bit, or Wine")
endif()
# ZQ_WINE_RUN [--code-page 936] [--dpi N] [--graphics null] ... ARCH PREFIX PROGRAM [ARGS...]
set(ZQ_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZQ_WINE_RUN} ${ZQ_WINE_ARCH} ${CMAKE_BINARY_DIR}/wineprefix)
# Which tests run under Wine: ALL, INPROCESS (the tests of the running dialogs and keys only) or
# NONE (where this machine cannot run the build: it is still built, and checked without Wine).
set(ZQ_WINE_TESTS ALL CACHE STRING "The Windows tests that run under Wine: ALL, INPROCESS or NONE")
set_property(CACHE ZQ_WINE_TESTS PROPERTY STRINGS ALL INPROCESS NONE)

# The program's own code uses no exceptions, which keeps the C++ runtime's exception support
# (and most of the executable's size) out of the program; the test programs still use them.
set(ZQ_PROGRAM_OPTIONS ${ZQ_WARNINGS} -fno-exceptions)
target_compile_options(keylogic PRIVATE -fno-exceptions)

add_library(framework STATIC framework/wnd.cpp framework/dialog.cpp framework/gdi.cpp framework/app.cpp)
target_include_directories(framework PUBLIC framework)
target_compile_options(framework PRIVATE ${ZQ_PROGRAM_OPTIONS})
target_link_libraries(framework PUBLIC user32 gdi32)

add_library(keypanel STATIC keys/key_button.cpp)
target_link_libraries(keypanel PUBLIC framework keylogic)
target_compile_options(keypanel PRIVATE ${ZQ_PROGRAM_OPTIONS})

# The program: the application shell around the key panel.
enable_language(RC)
add_library(shell STATIC dialogs/tester_dlg.cpp dialogs/about_dlg.cpp)
target_include_directories(shell PUBLIC dialogs res)
target_link_libraries(shell PUBLIC keypanel imm32)
target_compile_options(shell PRIVATE ${ZQ_PROGRAM_OPTIONS})

# The version record and the manifest take their numbers from the project's version.
configure_file(res/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
configure_file(res/tester.manifest.in ${CMAKE_BINARY_DIR}/generated/tester.manifest @ONLY)
set(ZQ_RESOURCES ${CMAKE_SOURCE_DIR}/res/tester.rc)
# The main dialog's keys come from the key table's rows (keys/key_table.def).
set_source_files_properties(${ZQ_RESOURCES} PROPERTIES
    INCLUDE_DIRECTORIES "${CMAKE_BINARY_DIR}/generated;${CMAKE_SOURCE_DIR}/keys"
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/resource.h;${CMAKE_SOURCE_DIR}/keys/key_table.def;${CMAKE_SOURCE_DIR}/res/tester.ico;${CMAKE_SOURCE_DIR}/res/logo.bmp;${CMAKE_BINARY_DIR}/generated/tester.manifest;${CMAKE_BINARY_DIR}/generated/version.h")

add_executable(zentaq_tester WIN32 app/tester_app.cpp ${ZQ_RESOURCES})
set_target_properties(zentaq_tester PROPERTIES OUTPUT_NAME "ZENTAQ Tester")
target_include_directories(zentaq_tester PRIVATE app res)
target_link_libraries(zentaq_tester PRIVATE shell)
target_compile_options(zentaq_tester PRIVATE ${ZQ_PROGRAM_OPTIONS})
target_link_options(zentaq_tester PRIVATE -s)

include(bench/bench.cmake)
include(cmake/release.cmake)

# cmake --install puts the program and a short text on its use in one folder; cpack makes the
# release archive of it.
install(TARGETS zentaq_tester RUNTIME DESTINATION .)
# README.txt says whether its exe is signed: the release command signs it with --sign, and says so.
option(ZQ_SIGNED "README.txt says the program is signed (scripts/release.sh --sign signs it)" OFF)
if(ZQ_SIGNED)
    set(ZQ_SIGNATURE_TEXT [[The program is signed (Authenticode) by whoever made this download: the Digital Signatures tab
of its Properties names them. With its signature removed (osslsigncode remove-signature) it is
the exe that the sources rebuild (below). If Windows SmartScreen says "Windows protected your
PC", choose "More info", then "Run anyway" (check the download first).]])
else()
    set(ZQ_SIGNATURE_TEXT [[The program is not signed, so Windows SmartScreen may say "Windows protected your PC": choose
"More info", then "Run anyway" (check the download first, below).]])
endif()
configure_file(docs/README.txt.in ${CMAKE_BINARY_DIR}/generated/README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/generated/README.txt DESTINATION .)
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT AND NOT CMAKE_HOST_WIN32)
    # Built here for Windows: the default "C:/Program Files" means nothing on this host.
    set(CMAKE_INSTALL_PREFIX ${CMAKE_BINARY_DIR}/install CACHE PATH "Install folder" FORCE)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME "ZENTAQ-Tester")
set(CPACK_PACKAGE_VENDOR "ZENTAQ")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keyboard tester: shows every key held down")
set(ZQ_ARCHIVE_NAME "ZENTAQ-Tester-${PROJECT_VERSION}-${ZQ_WINE_ARCH}")
set(CPACK_PACKAGE_FILE_NAME ${ZQ_ARCHIVE_NAME})
include(CPack)

if(NOT BUILD_TESTING)
    return()
endif()

add_executable(key_button_tests keys/key_button_test.cpp tests/pixels.cpp)
target_include_directories(key_button_tests PRIVATE tests)
target_link_libraries(key_button_tests PRIVATE keypanel gtest_main)
target_compile_options(key_button_tests PRIVATE ${ZQ_WARNINGS})

# The dialogs tested as the program runs them: same application object, same resources. One
# suite a file, by concern; the programs built on the fixture take its warnings.
add_library(dialog_fixture STATIC app/tester_app.cpp tests/dialog_fixture.cpp tests/pixels.cpp tests/win32_queries.cpp)
target_include_directories(dialog_fixture PUBLIC app res tests)
target_link_libraries(dialog_fixture PUBLIC shell gtest)
target_compile_options(dialog_fixture PUBLIC ${ZQ_WARNINGS})
add_executable(tester_dlg_tests tests/dialog_layout_test.cpp tests/key_lighting_test.cpp tests/key_pixels_test.cpp
                                tests/minimised_icon_test.cpp tests/screen_dpi_test.cpp tests/code_page_936_test.cpp
                                tests/system_key_names_test.cpp tests/windows_keys_test.cpp tests/about_box_test.cpp tests/framework_test.cpp
                                tests/resources_test.cpp ${ZQ_RESOURCES})
target_link_libraries(tester_dlg_tests PRIVATE dialog_fixture gtest_main version)
add_executable(soak_tests tests/soak_test.cpp tests/repaints_test.cpp ${ZQ_RESOURCES})
target_link_libraries(soak_tests PRIVATE dialog_fixture gtest_main psapi)

include(tests/e2e/e2e.cmake)
include(tests/download/download.cmake)

# The release archive holds the program just built, the program needs only system DLLs, and its
# manifest names its own processor. No check runs the program, so all run wherever it is built.
add_test(NAME ${ZQ_WINE_ARCH}.package
         COMMAND ${CMAKE_COMMAND} -DCPACK=${CMAKE_CPACK_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
                 -DARCHIVE=${CMAKE_BINARY_DIR}/${ZQ_ARCHIVE_NAME}.zip
                 -DEXE=$<TARGET_FILE:zentaq_tester> -DOBJDUMP=${CMAKE_OBJDUMP}
                 -DFORMAT=$<IF:$<STREQUAL:${ZQ_WINE_ARCH},win64>,pei-x86-64,pei-i386> -DMANIFEST_ARCH=${ZQ_MANIFEST_ARCH}
                 -P ${CMAKE_SOURCE_DIR}/cmake/check-package.cmake)
# The same sources give the same program: built again in another folder, under a clock 400 days on.
get_filename_component(toolchain ${CMAKE_TOOLCHAIN_FILE} NAME)
add_test(NAME ${ZQ_WINE_ARCH}.rebuild
         COMMAND faketime -f +400d ${CMAKE_COMMAND} -DSRC=${CMAKE_SOURCE_DIR} -DBUILD_DIR=${CMAKE_BINARY_DIR}
                 -DEXE=$<TARGET_FILE:zentaq_tester> -DTOOLCHAIN=${toolchain} -DBUILD_TYPE=${CMAKE_BUILD_TYPE}
                 -DSTAMP=${ZQ_SOURCE_DATE_EPOCH} -P ${CMAKE_SOURCE_DIR}/cmake/check-rebuild.cmake)
set_tests_properties(${ZQ_WINE_ARCH}.rebuild PROPERTIES TIMEOUT 300)
# The release command's signing (scripts/release.sh --sign) and the way back to these bytes, with a
# throwaway certificate: no Wine, no network.
add_test(NAME ${ZQ_WINE_ARCH}.sign COMMAND ${CMAKE_SOURCE_DIR}/scripts/lib/sign_test.sh $<TARGET_FILE:zentaq_tester>)
# The build that runs here: it opens no file, registry key or socket beyond a plain Win32 program
# (bench/untouched.sh; not run, and said so, where ptrace is forbidden).
if(ZQ_WINE_TESTS STREQUAL "ALL")
    add_test(NAME ${ZQ_WINE_ARCH}.untouched COMMAND ${CMAKE_SOURCE_DIR}/bench/untouched.sh ${CMAKE_BINARY_DIR})
    set_tests_properties(${ZQ_WINE_ARCH}.untouched PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
endif()

if(ZQ_WINE_TESTS STREQUAL "NONE")
    return()
endif()
include(cmake/wine-gtest.cmake)
# The Wine set-ups, each with the suites it runs, whole: a case belongs to its suite's runs
# whatever it is called.
#   plain            the prefix as the test command makes it
#   zh_CN            the ANSI code page 936 (Chinese Simplified), as the run command starts the
#                    program; Wine's own texts in the session's language, here English
#   windows_names    Wine's null display driver, where GetKeyNameTextA gives Windows' own names
#   144dpi           the screen at 144 DPI (150 %)
zq_wine_setup(plain PROGRAM key_button_tests SUITES KeyButtonTest)
zq_wine_setup(plain PROGRAM tester_dlg_tests
              SUITES DialogAsBuilt KeyLighting KeyPixels MinimisedIcon ScreenDpi AboutBox Framework Resources
                      WindowsKeys)
zq_wine_setup(windows_names PROGRAM tester_dlg_tests SUITES SystemKeyNames OPTIONS --graphics null)
zq_wine_setup(zh_CN PROGRAM tester_dlg_tests SUITES CodePage936 OPTIONS --code-page 936
              ENVIRONMENT LANG=C.UTF-8 LC_ALL= LC_MESSAGES= BUILDS ALL)
zq_wine_setup(144dpi PROGRAM tester_dlg_tests SUITES ScreenDpi KeyPixels OPTIONS --dpi 144 ENVIRONMENT ZQ_DPI=144
              BUILDS ALL)
zq_wine_setup(plain PROGRAM soak_tests SUITES Soak Repaints BUILDS ALL)

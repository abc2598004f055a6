# The program as it is released: the header Windows reads, the same bytes from every build of the
# same sources, and what made it, for the text in its archive (docs/README.txt.in).

# ASLR (high-entropy on the PE32+), DEP and no compatibility shims for terminal servers. The oldest
# Windows is the one its imports need: ImmAssociateContextEx, GetMonitorInfoA, MonitorFromWindow
# and GetAncestor came with Windows 2000 (5.0); x64 Windows began with 5.2.
set(ZQ_HEADER_OPTIONS --tsaware --nxcompat --dynamicbase --major-subsystem-version 5)
if(ZQ_WINE_ARCH STREQUAL win64)
    list(APPEND ZQ_HEADER_OPTIONS --high-entropy-va --minor-subsystem-version 2)
else()
    list(APPEND ZQ_HEADER_OPTIONS --minor-subsystem-version 0)
endif()
list(JOIN ZQ_HEADER_OPTIONS "," ZQ_HEADER_OPTIONS)
target_link_options(zentaq_tester PRIVATE "-Wl,${ZQ_HEADER_OPTIONS}")

# The header's time stamp is the sources' time, never the build's: SOURCE_DATE_EPOCH where it is
# set, else the commit's time where the sources are a git clone, else none (0). ld reads it at link.
find_program(ZQ_GIT git)
set(ZQ_COMMIT "none (not built from a git clone)")
set(ZQ_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
if(ZQ_GIT AND EXISTS ${CMAKE_SOURCE_DIR}/.git)
    execute_process(COMMAND ${ZQ_GIT} -C ${CMAKE_SOURCE_DIR} log -1 --format=%H%n%ct
                    OUTPUT_VARIABLE head OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status ERROR_QUIET)
    if(status EQUAL 0 AND head MATCHES "^([0-9a-f]+)\n([0-9]+)$")
        set(ZQ_COMMIT ${CMAKE_MATCH_1})
        if(ZQ_SOURCE_DATE_EPOCH STREQUAL "")
            set(ZQ_SOURCE_DATE_EPOCH ${CMAKE_MATCH_2})
        endif()
        execute_process(COMMAND ${ZQ_GIT} -C ${CMAKE_SOURCE_DIR} diff --quiet HEAD -- RESULT_VARIABLE changed)
        if(NOT changed EQUAL 0)
            string(APPEND ZQ_COMMIT ", with changes not committed")
        endif()
    endif()
endif()
if(ZQ_SOURCE_DATE_EPOCH STREQUAL "")
    target_link_options(zentaq_tester PRIVATE -Wl,--no-insert-timestamp)
else()
    target_link_options(zentaq_tester PRIVATE -Wl,--insert-timestamp)
    set_property(TARGET zentaq_tester PROPERTY RULE_LAUNCH_LINK "env SOURCE_DATE_EPOCH=${ZQ_SOURCE_DATE_EPOCH}")
endif()
# A new time stamp (a commit) links the program anew.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/source-date-epoch CONTENT "${ZQ_SOURCE_DATE_EPOCH}\n")
set_property(TARGET zentaq_tester APPEND PROPERTY LINK_DEPENDS ${CMAKE_BINARY_DIR}/generated/source-date-epoch)

# The toolchain by its Debian packages' versions where dpkg knows them: what a rebuild must match.
function(zq_tool_version var tool)
    execute_process(COMMAND ${tool} --version OUTPUT_VARIABLE said ERROR_QUIET)
    string(REGEX MATCH "^[^\n]*" said "${said}")
    get_filename_component(path ${tool} REALPATH)
    execute_process(COMMAND dpkg-query -S ${path} OUTPUT_VARIABLE package ERROR_QUIET)
    if(package MATCHES "^([^:]+):")
        set(package ${CMAKE_MATCH_1})
        execute_process(COMMAND dpkg-query -W -f=\${Version} ${package} OUTPUT_VARIABLE version)
        string(APPEND said " (Debian package ${package} ${version})")
    endif()
    set(${var} "${said}" PARENT_SCOPE)
endfunction()
zq_tool_version(ZQ_COMPILER_VERSION ${CMAKE_CXX_COMPILER})
zq_tool_version(ZQ_BINUTILS_VERSION ${CMAKE_LINKER})

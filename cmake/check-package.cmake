# Makes the release archive and checks it and its program: cmake -DCPACK=... -DBUILD_DIR=...
#   -DARCHIVE=... -DEXE=... -DOBJDUMP=... -DFORMAT=pei-i386|pei-x86-64 -DMANIFEST_ARCH=x86|amd64
#   -P check-package.cmake
# The archive must hold the program just built, byte for byte, and the text on its use.
execute_process(COMMAND ${CPACK} --config ${BUILD_DIR}/CPackConfig.cmake
                WORKING_DIRECTORY ${BUILD_DIR} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cpack failed:\n${output}")
endif()
if(NOT EXISTS ${ARCHIVE})
    message(FATAL_ERROR "cpack did not make ${ARCHIVE}:\n${output}")
endif()

set(unpacked ${BUILD_DIR}/package-check)
file(REMOVE_RECURSE ${unpacked})
file(MAKE_DIRECTORY ${unpacked})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${ARCHIVE} WORKING_DIRECTORY ${unpacked} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot unpack ${ARCHIVE}")
endif()

string(REGEX REPLACE "\\.zip$" "" top "${ARCHIVE}")
get_filename_component(top ${top} NAME)
file(GLOB_RECURSE files RELATIVE ${unpacked} ${unpacked}/*)
list(SORT files)
set(expected "${top}/README.txt;${top}/ZENTAQ Tester.exe")
if(NOT files STREQUAL expected)
    message(FATAL_ERROR "the archive holds '${files}', not '${expected}'")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${EXE}" "${unpacked}/${top}/ZENTAQ Tester.exe"
                RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
    message(FATAL_ERROR "the archive's ZENTAQ Tester.exe is not the one built at ${EXE}")
endif()
message(STATUS "${ARCHIVE}: ${files}; the exe is the one built")

# The program runs on any Windows as it is: the build's machine type, and only system DLLs.
execute_process(COMMAND ${OBJDUMP} -p "${EXE}" RESULT_VARIABLE status OUTPUT_VARIABLE headers ERROR_VARIABLE headers)
if(NOT status EQUAL 0 OR NOT headers MATCHES "file format ${FORMAT}\n")
    message(FATAL_ERROR "${EXE} is not of the format ${FORMAT}:\n${headers}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
string(TOUPPER "${imports}" imports)
list(SORT imports)
set(system "DLL NAME: GDI32.DLL;DLL NAME: IMM32.DLL;DLL NAME: KERNEL32.DLL;DLL NAME: MSVCRT.DLL;DLL NAME: USER32.DLL")
if(NOT imports STREQUAL system)
    message(FATAL_ERROR "${EXE} imports '${imports}', not the system DLLs '${system}'")
endif()
message(STATUS "${EXE}: ${FORMAT}, imports ${imports}")
# Functions that came after the oldest Windows the program starts on are looked up at run time;
# imported by name, they would stop it loading there.
foreach(later IN ITEMS RegisterRawInputDevices)
    if(headers MATCHES "[\t ]${later}\n")
        message(FATAL_ERROR "${EXE} imports ${later}, which its oldest Windows lacks: look it up at run time")
    endif()
endforeach()

# The manifest is stored as its own text in the exe's resources: read it back from there.
file(STRINGS "${EXE}" identities REGEX "<assemblyIdentity ")
if(NOT identities MATCHES "processorArchitecture=\"([^\"]*)\"" OR NOT CMAKE_MATCH_1 STREQUAL MANIFEST_ARCH)
    message(FATAL_ERROR "${EXE} is ${FORMAT}, but its manifest says '${identities}', not processorArchitecture=\"${MANIFEST_ARCH}\"")
endif()
message(STATUS "${EXE}: manifest for processorArchitecture=\"${MANIFEST_ARCH}\"")

# The header as careful Windows builds carry it, read back from the exe: ASLR with relocations to
# move by (high-entropy on the PE32+), DEP, terminal-server aware, no section both writable and
# executable, and the subsystem version of the oldest Windows it needs (5.0, Windows 2000, for
# its imports; 5.2 on x64, the first x64 Windows).
set(wanted DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE)
set(subsystem "5\n[^\n]*MinorSubsystemVersion\t0")
if(FORMAT STREQUAL pei-x86-64)
    list(APPEND wanted HIGH_ENTROPY_VA)
    set(subsystem "5\n[^\n]*MinorSubsystemVersion\t2")
endif()
string(REGEX MATCH "DllCharacteristics[^\n]*\n(\t[^\n]*\n)*" characteristics "${headers}")
foreach(flag IN LISTS wanted)
    if(NOT characteristics MATCHES "\t${flag}\n")
        message(FATAL_ERROR "${EXE} lacks ${flag}: ${characteristics}")
    endif()
endforeach()
if(headers MATCHES "relocations stripped")
    message(FATAL_ERROR "${EXE} has no relocations, so DYNAMIC_BASE cannot move it")
endif()
if(NOT headers MATCHES "MajorSubsystemVersion\t${subsystem}\n")
    string(REGEX MATCH "MajorSubsystemVersion[^\n]*\nMinorSubsystemVersion[^\n]*" said "${headers}")
    message(FATAL_ERROR "${EXE}: the subsystem version is not the one its Windows needs: ${said}")
endif()
execute_process(COMMAND ${OBJDUMP} -h "${EXE}" OUTPUT_VARIABLE sections)
string(REGEX MATCHALL " [^ \n]+ +[0-9a-f]+ [^\n]+\n[^\n]+" sections "${sections}")
foreach(section IN LISTS sections)
    if(section MATCHES "CODE" AND NOT section MATCHES "READONLY")
        message(FATAL_ERROR "${EXE} has a section both writable and executable:\n${section}")
    endif()
endforeach()
message(STATUS "${EXE}: ${wanted}, subsystem version as needed, no writable code")

# Runs the unpacked test download as a Windows user would, through cmd (here Wine's), in a copy of
# its own, and fails unless it ends with "N passed, 0 failed", exit status 0, and leaves nothing
# behind but its report: cmake -DDOWNLOAD=folder -DRUN=folder -DWINE_RUN=command... -P check-download.cmake
file(REMOVE_RECURSE ${RUN})
file(COPY ${DOWNLOAD}/ DESTINATION ${RUN})
file(GLOB before RELATIVE ${RUN} ${RUN}/*)
execute_process(COMMAND ${WINE_RUN} cmd /c run-tests.cmd WORKING_DIRECTORY ${RUN}
                OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE status TIMEOUT 1400)
string(REGEX MATCH "[^\r\n]*[\r\n]*$" last "${output}")
string(STRIP "${last}" last)
file(GLOB after RELATIVE ${RUN} ${RUN}/*)
list(REMOVE_ITEM after ${before} test-report.txt)
file(READ ${RUN}/test-report.txt report LIMIT 1000000)
string(REGEX MATCH "[^\r\n]*[\r\n]*$" reported "${report}")
string(STRIP "${reported}" reported)
string(REGEX MATCHALL "\n(FAILED|skipped) [^\r\n]*" unpassed "${report}")
string(REPLACE ";" "" unpassed "${unpassed}")
message(STATUS "run-tests.cmd under Wine: exit status ${status}, last line \"${last}\"${unpassed}")
if(NOT status EQUAL 0 OR NOT last MATCHES "^[0-9]+ passed, 0 failed$" OR NOT reported STREQUAL last OR after)
    message(FATAL_ERROR "the download did not pass (status ${status}, last line \"${last}\", report's \"${reported}\", "
                        "left behind besides the report: \"${after}\"):\n${output}")
endif()
file(REMOVE_RECURSE ${RUN})

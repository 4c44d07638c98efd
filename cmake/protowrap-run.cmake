# Runs protowrap in the current directory for a build step: prints its result lines and fails
# unless both families completed (protowrap itself always exits 0).
#   PROTOWRAP: the program; EMULATOR (optional): what runs it.
execute_process(COMMAND ${EMULATOR} "${PROTOWRAP}" RESULT_VARIABLE rc OUTPUT_VARIABLE out)
string(REPLACE "\r\n" "\n" out "${out}")
string(STRIP "${out}" lines)
message(STATUS "protowrap: ${lines}")
if(NOT rc EQUAL 0 OR NOT out STREQUAL "Completed\nCompleted\n")
  message(FATAL_ERROR "protowrap did not complete both wrap headers:\n${out}")
endif()

# Runs protowrap in the current directory for a build step: prints its result lines and its
# warnings (and the note that counts those not shown), and fails unless both families completed
# (protowrap itself always exits 0), or, with WARNINGS_AS_ERRORS, when a header got a warning.
# Only a run that ended well leaves the step's stamp, so that the next build runs it again.
#   PROTOWRAP: the program; EMULATOR (optional): what runs it; WORKING_DIR: where it runs, to
#   make the warnings' relative paths absolute for the IDE or log reader; WARNINGS_AS_ERRORS;
#   STAMP: the stamp.
file(REMOVE "${STAMP}")
execute_process(COMMAND ${EMULATOR} "${PROTOWRAP}" RESULT_VARIABLE rc OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
string(REPLACE "\r\n" "\n" out "${out}")
string(REPLACE "\r\n" "\n" err "${err}")
string(STRIP "${out}" lines)
message(STATUS "protowrap: ${lines}")
if(err)
  # <path>:<line>:<column>: warning ... (GCC's form) or <path>(<line>,<column>): warning ... (MSBuild's),
  # with a path relative to the directory protowrap ran in.
  # A path that starts with '/' or a drive letter ("C:") is absolute already.
  string(REGEX REPLACE "(^|\n)([^/\n][^:\n][^\n]*:[0-9]+:[0-9]+: warning)" "\\1${WORKING_DIR}/\\2"
         err "${err}")
  string(REGEX REPLACE "(^|\n)([^/\n][^:\n][^\n]*\\([0-9]+,[0-9]+\\): warning)"
         "\\1${WORKING_DIR}/\\2" err "${err}")
  # The note that counts the warnings not shown, and a warning about a whole header: <path>: ...
  string(REGEX REPLACE "(^|\n)([^/\n][^:\n][^\n]*: (note|warning)[: ])" "\\1${WORKING_DIR}/\\2"
         err "${err}")
  string(REGEX REPLACE "\n$" "" err "${err}")
  message("${err}")
endif()
if(NOT rc EQUAL 0 OR NOT out STREQUAL "Completed\nCompleted\n")
  message(FATAL_ERROR "protowrap did not complete both wrap headers:\n${out}")
endif()
if(WARNINGS_AS_ERRORS AND err MATCHES "warning")
  message(FATAL_ERROR "protowrap warned about the headers (WARNINGS_AS_ERRORS)")
endif()
file(TOUCH "${STAMP}")

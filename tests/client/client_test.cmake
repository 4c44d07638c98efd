# Runs protowrap on the example headers, compiles a client that includes its output, runs the
# client and compares the tables it prints with the expected names and values.
#   PROTOWRAP, CXX, SOURCE_DIR, EXAMPLES, WORK_DIR; EMULATOR (optional) runs target programs.
# An emulator with arguments (qemu-aarch64 -L <sysroot>) arrives as a list with escaped ';'.
string(REPLACE "\\;" ";" EMULATOR "${EMULATOR}")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
file(WRITE "${WORK_DIR}/Talvenor.ini"
     "[CONFIG]\nCG_FILE_PATH=${EXAMPLES}/Protocol_CG.h\nCW_FILE_PATH=${EXAMPLES}/Protocol_CW.h\n")

execute_process(COMMAND ${EMULATOR} "${PROTOWRAP}" WORKING_DIRECTORY "${WORK_DIR}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out)
string(REPLACE "\r\n" "\n" out "${out}")
if(NOT rc EQUAL 0 OR NOT out STREQUAL "Completed\nCompleted\n")
  message(FATAL_ERROR "protowrap failed (${rc}):\n${out}")
endif()

# The one-file client (struct PROTOCOL_STRUCT), and a program of two source files that both
# include the wrap headers (inline constexpr tables): each prints every table.
file(READ "${SOURCE_DIR}/expected.txt" expected)
foreach(variant "client.cpp" "client_inline.cpp;lookup.cpp")
  list(GET variant 0 main)
  set(sources "")
  foreach(source IN LISTS variant)
    list(APPEND sources "${SOURCE_DIR}/${source}")
  endforeach()
  set(client "${WORK_DIR}/${main}${CLIENT_SUFFIX}")
  execute_process(COMMAND "${CXX}" -std=c++20 -Wall -Werror -static
                          -I "${WORK_DIR}" -I "${EXAMPLES}" ${sources} -o "${client}"
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${variant} does not compile against the wrap headers:\n${err}")
  endif()
  execute_process(COMMAND ${EMULATOR} "${client}" RESULT_VARIABLE rc OUTPUT_VARIABLE tables)
  string(REPLACE "\r\n" "\n" tables "${tables}")
  if(NOT rc EQUAL 0 OR NOT tables STREQUAL expected)
    message(FATAL_ERROR "${variant}: the tables differ from the expected ones (${rc}):\n${tables}")
  endif()
endforeach()
message(STATUS "client tables match")

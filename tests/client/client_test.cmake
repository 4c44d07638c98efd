# Runs protowrap on the example headers, compiles a client that includes its output, runs the
# client and compares the tables it prints with the expected names and values.
#   PROTOWRAP, CXX, SOURCE_DIR, EXAMPLES, INCLUDE_DIR (the client header's), WORK_DIR; EMULATOR
#   (optional) runs target programs; OTHER_CXX (optional) compiles the header's client too.
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

# Compiles the client of the given sources with the given compiler and flags, runs it, and compares
# what it prints with the expected file.
function(check_client compiler expected_file)
  set(sources "")
  foreach(source IN LISTS ARGN)
    if(source MATCHES "^-")
      list(APPEND flags "${source}")
    else()
      list(APPEND sources "${SOURCE_DIR}/${source}")
    endif()
  endforeach()
  list(GET sources 0 main)
  get_filename_component(main "${main}" NAME_WE)
  get_filename_component(compiler_name "${compiler}" NAME_WE)
  string(MAKE_C_IDENTIFIER "${main}_${compiler_name}${flags}" name)
  set(client "${WORK_DIR}/${name}${CLIENT_SUFFIX}")
  execute_process(COMMAND "${compiler}" ${flags} -Wall -Werror -static -I "${INCLUDE_DIR}"
                          -I "${WORK_DIR}" -I "${EXAMPLES}" ${sources} -o "${client}"
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${sources} (${compiler} ${flags}) does not compile against the wrap "
                        "headers:\n${err}")
  endif()
  execute_process(COMMAND ${EMULATOR} "${client}" RESULT_VARIABLE rc OUTPUT_VARIABLE tables)
  string(REPLACE "\r\n" "\n" tables "${tables}")
  file(READ "${SOURCE_DIR}/${expected_file}" expected)
  if(NOT rc EQUAL 0 OR NOT tables STREQUAL expected)
    message(FATAL_ERROR "${sources}: the tables differ from ${expected_file} (${rc}):\n${tables}")
  endif()
endfunction()

# The one-file client of the plain form (struct PROTOCOL_STRUCT), and the client of two source
# files through the client header, in C++17 and C++20, pedantic, with every compiler given.
check_client("${CXX}" expected.txt client.cpp -std=c++20)
foreach(compiler IN LISTS CXX OTHER_CXX)
  foreach(standard 17 20)
    check_client("${compiler}" expected_header.txt client_header.cpp lookup.cpp
                 -std=c++${standard} -Wextra -Wpedantic)
  endforeach()
endforeach()

# A table that repeats a code stops the compile at its static_assert; the same table with the
# code told apart compiles.
foreach(code 7 8)
  execute_process(COMMAND "${CXX}" -std=c++17 -DAGAIN_CODE=${code} -I "${INCLUDE_DIR}" -c
                          "${SOURCE_DIR}/repeated_code.cpp" -o "${WORK_DIR}/repeated_code.o"
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(code EQUAL 7 AND (rc EQUAL 0 OR NOT err MATCHES "sCG_TWICE_PROTOCOL repeats a code"))
    message(FATAL_ERROR "a table with a repeated code compiled, or failed for another cause:\n${err}")
  elseif(code EQUAL 8 AND NOT rc EQUAL 0)
    message(FATAL_ERROR "a table without repeated codes does not compile:\n${err}")
  endif()
endforeach()
# A table of 20,000 entries, and one without its closing entry, with every compiler given, at the
# compilers' default limits on constant evaluation.
foreach(compiler IN LISTS CXX OTHER_CXX)
  execute_process(COMMAND "${compiler}" -std=c++17 -Wall -Werror -I "${INCLUDE_DIR}" -fsyntax-only
                          "${SOURCE_DIR}/large_table.cpp"
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "large_table.cpp (${compiler}) does not compile:\n${err}")
  endif()
endforeach()
message(STATUS "client tables match")

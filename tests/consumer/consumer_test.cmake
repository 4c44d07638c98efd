# Proves the installed package as a user would: installs the build into a scratch prefix,
# configures and builds the consumer project against it, checks the tables its program prints,
# then checks that a build with no change regenerates nothing and that touching one input header
# regenerates the wrap headers.
#   BUILD_DIR, SOURCE_DIR (the consumer), CLIENT_DIR (client.cpp, expected.txt), EXAMPLES,
#   WORK_DIR, GENERATOR, CXX.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/headers")
file(COPY "${EXAMPLES}/Protocol_CG.h" "${EXAMPLES}/Protocol_CW.h" DESTINATION "${WORK_DIR}/headers")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

run("${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${WORK_DIR}/prefix")
run("${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${WORK_DIR}/build" -G "${GENERATOR}"
    "-DCMAKE_CXX_COMPILER=${CXX}" "-DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix"
    "-DCG_HEADER=${WORK_DIR}/headers/Protocol_CG.h" "-DCW_HEADER=${WORK_DIR}/headers/Protocol_CW.h"
    "-DCLIENT_SOURCE=${CLIENT_DIR}/client.cpp")

set(cg_wrap "${WORK_DIR}/build/generated/Protocol_CG.WRAP.h")
function(build expect_generation)
  run("${CMAKE_COMMAND}" --build "${WORK_DIR}/build")
  string(FIND "${out}" "Generating protocol wrap headers" at)
  if(expect_generation AND at EQUAL -1)
    message(FATAL_ERROR "the wrap headers were not regenerated:\n${out}")
  elseif(NOT expect_generation AND NOT at EQUAL -1)
    message(FATAL_ERROR "the wrap headers were regenerated with no change:\n${out}")
  endif()
endfunction()

build(TRUE)
run("${WORK_DIR}/build/consumer")
file(READ "${CLIENT_DIR}/expected.txt" expected)
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "the consumer's tables differ from the expected ones:\n${out}")
endif()
file(TIMESTAMP "${cg_wrap}" first "%s")

build(FALSE)
file(TIMESTAMP "${cg_wrap}" unchanged "%s")
if(NOT unchanged STREQUAL first)
  message(FATAL_ERROR "a build with no change rewrote ${cg_wrap}")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E sleep 1.1)
file(TOUCH "${WORK_DIR}/headers/Protocol_CW.h")
build(TRUE)
file(TIMESTAMP "${cg_wrap}" touched "%s")
if(NOT touched GREATER first)
  message(FATAL_ERROR "touching a header did not regenerate ${cg_wrap}")
endif()
message(STATUS "the installed package generates, builds and regenerates as it should")

# Proves protowrap as a dependency, on a machine where its test dependencies cannot be found
# (GoogleTest, Python and Google Benchmark made unfindable):
# - the installed package: installs the build into a scratch prefix, builds the consumer project
#   against it, checks the tables its program prints, that a build with no change regenerates
#   nothing and that touching one input header regenerates the wrap headers;
# - add_subdirectory of protowrap's sources: the same tables, and nothing of protowrap's but
#   protowrap itself;
# - protowrap as the top-level project: it configures, builds and installs without tests, saying
#   once why;
# - protowrap_generate names the headers by relative paths, and refuses a path that the lookup
#   would read differently.
#   BUILD_DIR, PROTOWRAP_SOURCE, SOURCE_DIR (the consumer), CLIENT_DIR (client_header.cpp,
#   lookup.cpp, expected_header.txt), EXAMPLES, WORK_DIR, GENERATOR, CXX.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/headers")
file(COPY "${EXAMPLES}/Protocol_CG.h" "${EXAMPLES}/Protocol_CW.h" DESTINATION "${WORK_DIR}/headers")

set(unfindable -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_Python3=ON
               -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
               "-DPROTOWRAP_GTEST_SOURCE=${WORK_DIR}/no-googletest")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

# Configures the consumer in WORK_DIR/<name> with the given arguments.
function(configure name)
  run("${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${WORK_DIR}/${name}" -G "${GENERATOR}"
      "-DCMAKE_CXX_COMPILER=${CXX}" ${unfindable} "-DCLIENT_DIR=${CLIENT_DIR}"
      ${ARGN})
endfunction()

function(build name expect_generation)
  run("${CMAKE_COMMAND}" --build "${WORK_DIR}/${name}")
  string(FIND "${out}" "Generating protocol wrap headers" at)
  if(expect_generation AND at EQUAL -1)
    message(FATAL_ERROR "the wrap headers were not regenerated:\n${out}")
  elseif(NOT expect_generation AND NOT at EQUAL -1)
    message(FATAL_ERROR "the wrap headers were regenerated with no change:\n${out}")
  endif()
endfunction()

# Builds the consumer and checks its tables and the configuration protowrap_generate wrote.
function(check_consumer name)
  build(${name} TRUE)
  run("${WORK_DIR}/${name}/consumer")
  file(READ "${CLIENT_DIR}/expected_header.txt" expected)
  if(NOT out STREQUAL expected)
    message(FATAL_ERROR "the consumer's tables differ from the expected ones:\n${out}")
  endif()
  file(READ "${WORK_DIR}/${name}/generated/Talvenor.ini" ini)
  set(expected_ini "[CONFIG]\nCG_FILE_PATH=../../headers/Protocol_CG.h\n"
                   "CW_FILE_PATH=../../headers/Protocol_CW.h\n")
  string(CONCAT expected_ini ${expected_ini})
  if(NOT ini STREQUAL expected_ini)
    message(FATAL_ERROR "protowrap_generate wrote\n${ini}\ninstead of\n${expected_ini}")
  endif()
endfunction()

set(headers "-DCG_HEADER=${WORK_DIR}/headers/Protocol_CG.h"
            "-DCW_HEADER=${WORK_DIR}/headers/Protocol_CW.h")

# The installed package.
run("${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${WORK_DIR}/prefix")
configure(installed "-DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix" ${headers})
check_consumer(installed)
set(cg_wrap "${WORK_DIR}/installed/generated/Protocol_CG.WRAP.h")
file(TIMESTAMP "${cg_wrap}" first "%s")
build(installed FALSE)
file(TIMESTAMP "${cg_wrap}" unchanged "%s")
if(NOT unchanged STREQUAL first)
  message(FATAL_ERROR "a build with no change rewrote ${cg_wrap}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E sleep 1.1)
file(TOUCH "${WORK_DIR}/headers/Protocol_CW.h")
build(installed TRUE)
file(TIMESTAMP "${cg_wrap}" touched "%s")
if(NOT touched GREATER first)
  message(FATAL_ERROR "touching a header did not regenerate ${cg_wrap}")
endif()

# protowrap's sources in the consumer's build.
configure(subdirectory "-DPROTOWRAP_SOURCE_DIR=${PROTOWRAP_SOURCE}" ${headers})
check_consumer(subdirectory)

# protowrap on its own, as the README installs it, without its test dependencies.
run("${CMAKE_COMMAND}" -S "${PROTOWRAP_SOURCE}" -B "${WORK_DIR}/top-level" -G "${GENERATOR}"
    "-DCMAKE_CXX_COMPILER=${CXX}" ${unfindable})
string(FIND "${err}" "building without tests" at)
if(at EQUAL -1)
  message(FATAL_ERROR "a configure without GoogleTest did not say why it has no tests:\n${err}")
endif()
run("${CMAKE_COMMAND}" --build "${WORK_DIR}/top-level" --target protowrap)
run("${CMAKE_COMMAND}" --install "${WORK_DIR}/top-level" --prefix "${WORK_DIR}/top-level-prefix")

# Paths that the lookup would read differently stop the configuration.
string(REPEAT "d" 520 long)
foreach(bad "Protocol_CG.h " "\tProtocol_CG.h" "${long}/Protocol_CG.h" "'x.h'")
  file(WRITE "${WORK_DIR}/refused/CMakeLists.txt"
       "cmake_minimum_required(VERSION 3.25)\nproject(refused NONE)\n"
       "find_package(protowrap CONFIG REQUIRED)\n"
       "protowrap_generate(OUTPUT_DIR . CG_HEADER [[${bad}]] CW_HEADER Protocol_CW.h)\n")
  execute_process(COMMAND "${CMAKE_COMMAND}" -S "${WORK_DIR}/refused" -B "${WORK_DIR}/refused"
                          -G "${GENERATOR}" "-DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(FIND "${err}" "CG_HEADER cannot be named in Talvenor.ini" at)
  if(rc EQUAL 0 OR at EQUAL -1)
    message(FATAL_ERROR "protowrap_generate accepted \"${bad}\":\n${out}\n${err}")
  endif()
endforeach()
# A header that will not compile gets warnings in the build output, located by absolute path;
# with WARNINGS_AS_ERRORS they fail the build.
file(WRITE "${WORK_DIR}/strays/Protocol_CG.h" "enum eCG_X_PROTOCOL\n{\n\tCG_A = 1,\n\tCG_B\n};\n")
file(WRITE "${WORK_DIR}/strays/Protocol_CW.h" "")
foreach(as_errors OFF ON)
  set(option "")
  if(as_errors)
    set(option WARNINGS_AS_ERRORS)
  endif()
  file(WRITE "${WORK_DIR}/strays/CMakeLists.txt"
       "cmake_minimum_required(VERSION 3.25)\nproject(strays NONE)\n"
       "find_package(protowrap CONFIG REQUIRED)\n"
       "protowrap_generate(OUTPUT_DIR gen CG_HEADER Protocol_CG.h CW_HEADER Protocol_CW.h "
       "OUTPUTS_VAR outputs ${option})\n"
       "add_custom_target(generate ALL DEPENDS \${outputs})\n")
  file(REMOVE_RECURSE "${WORK_DIR}/strays-${as_errors}")
  run("${CMAKE_COMMAND}" -S "${WORK_DIR}/strays" -B "${WORK_DIR}/strays-${as_errors}"
      -G "${GENERATOR}" "-DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix")
  execute_process(COMMAND "${CMAKE_COMMAND}" --build "${WORK_DIR}/strays-${as_errors}"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT "${out}${err}" MATCHES "\n/[^\n]*/Protocol_CG.h:4:2: warning: the enumerator has no comma")
    message(FATAL_ERROR "the build output does not show the warning:\n${out}\n${err}")
  endif()
  if(as_errors AND rc EQUAL 0)
    message(FATAL_ERROR "WARNINGS_AS_ERRORS did not fail the build:\n${out}\n${err}")
  elseif(NOT as_errors AND NOT rc EQUAL 0)
    message(FATAL_ERROR "a warning failed the build:\n${out}\n${err}")
  endif()
  # A step that failed left no stamp: the next build runs protowrap again, and fails again,
  # rather than taking the wrap headers it wrote for up to date.
  execute_process(COMMAND "${CMAKE_COMMAND}" --build "${WORK_DIR}/strays-${as_errors}"
                  RESULT_VARIABLE again OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(as_errors AND again EQUAL 0)
    message(FATAL_ERROR "the build after a failed step took its outputs for up to date:\n${out}")
  endif()
endforeach()
message(STATUS "protowrap as a package, as sources and on its own: all as it should")

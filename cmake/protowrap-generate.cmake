# protowrap_generate(OUTPUT_DIR <dir> CG_HEADER <path> CW_HEADER <path> [OUTPUTS_VAR <var>])
#
# Writes <dir>/Talvenor.ini naming the two protocol-definition headers by absolute path, and adds
# a custom command that runs protowrap::protowrap in <dir> to produce <dir>/Protocol_CG.WRAP.h
# and <dir>/Protocol_CW.WRAP.h. The command depends on both headers and on protowrap itself, so a
# target that lists the two outputs (set in <var>) regenerates them exactly when one of those
# changes. protowrap always exits 0; the command reads its result lines instead and fails the
# build unless both say "Completed".
#
# Relative paths: OUTPUT_DIR is taken from the current binary directory, the headers from the
# current source directory.

set(_protowrap_run_script "${CMAKE_CURRENT_LIST_DIR}/protowrap-run.cmake")

function(protowrap_generate)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "OUTPUT_DIR;CG_HEADER;CW_HEADER;OUTPUTS_VAR" "")
  foreach(required OUTPUT_DIR CG_HEADER CW_HEADER)
    if(NOT arg_${required})
      message(FATAL_ERROR "protowrap_generate: ${required} is required")
    endif()
  endforeach()
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "protowrap_generate: unknown arguments: ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT TARGET protowrap::protowrap)
    message(FATAL_ERROR "protowrap_generate: there is no protowrap::protowrap target")
  endif()

  get_filename_component(dir "${arg_OUTPUT_DIR}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
  get_filename_component(cg "${arg_CG_HEADER}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  get_filename_component(cw "${arg_CW_HEADER}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  file(MAKE_DIRECTORY "${dir}")
  # Rewritten only when its content changes, so that it does not trigger rebuilds by itself.
  set(ini "[CONFIG]\nCG_FILE_PATH=${cg}\nCW_FILE_PATH=${cw}\n")
  set(old "")
  if(EXISTS "${dir}/Talvenor.ini")
    file(READ "${dir}/Talvenor.ini" old)
  endif()
  if(NOT old STREQUAL ini)
    file(WRITE "${dir}/Talvenor.ini" "${ini}")
  endif()

  set(outputs "${dir}/Protocol_CG.WRAP.h" "${dir}/Protocol_CW.WRAP.h")
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND "${CMAKE_COMMAND}" "-DPROTOWRAP=$<TARGET_FILE:protowrap::protowrap>"
            "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}" -P "${_protowrap_run_script}"
    WORKING_DIRECTORY "${dir}"
    DEPENDS "${cg}" "${cw}" "${dir}/Talvenor.ini" "$<TARGET_FILE:protowrap::protowrap>"
            "${_protowrap_run_script}"
    COMMENT "Generating protocol wrap headers in ${dir}"
    VERBATIM)
  if(arg_OUTPUTS_VAR)
    set(${arg_OUTPUTS_VAR} ${outputs} PARENT_SCOPE)
  endif()
endfunction()

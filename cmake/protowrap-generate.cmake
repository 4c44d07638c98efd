# protowrap_generate(OUTPUT_DIR <dir> CG_HEADER <path> CW_HEADER <path> [OUTPUTS_VAR <var>]
#                    [WARNINGS_AS_ERRORS])
#
# Writes <dir>/Talvenor.ini naming the two protocol-definition headers by their paths relative to
# <dir> (absolute only where there is no relative path, as across drives on Windows), and adds
# a custom command that runs protowrap::protowrap in <dir> to produce <dir>/Protocol_CG.WRAP.h
# and <dir>/Protocol_CW.WRAP.h. The command depends on both headers and on protowrap itself, so a
# target that lists the two outputs (set in <var>) regenerates them exactly when one of those
# changes. protowrap always exits 0; the command reads its result lines instead and fails the
# build unless both say "Completed". protowrap's warnings about lines of the headers that will not
# compile are shown in the build output (with absolute paths); with WARNINGS_AS_ERRORS they fail
# the build step.
#
# Relative paths: OUTPUT_DIR is taken from the current binary directory, the headers from the
# current source directory. A path that protowrap's configuration lookup would read differently
# (longer than 511 bytes, blanks at either end, a line end, or enclosing quotes) stops the
# configuration with a message, instead of a build that fails later.

function(protowrap_generate)
  # The longest value that protowrap's configuration lookup reads whole, in bytes.
  set(max_value_bytes 511)
  # Beside this file; a variable set outside the function would not reach a project that added
  # protowrap with add_subdirectory.
  set(run_script "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/protowrap-run.cmake")
  cmake_parse_arguments(PARSE_ARGV 0 arg "WARNINGS_AS_ERRORS" "OUTPUT_DIR;CG_HEADER;CW_HEADER;OUTPUTS_VAR"
                        "")
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
  # Relative paths keep the values short (they are cut at max_value_bytes) and keep what lies above the
  # common directory (often a user name, which the Windows ANSI lookup would misread when it is
  # not ASCII) out of them.
  foreach(family cg cw)
    file(RELATIVE_PATH relative "${dir}" "${${family}}")
    if(NOT IS_ABSOLUTE "${relative}")
      set(${family}_value "${relative}")
    else()
      set(${family}_value "${${family}}")
    endif()
    string(LENGTH "${${family}_value}" length)
    if(length GREATER max_value_bytes OR "${${family}_value}" MATCHES "[\r\n]|^[ \t]|[ \t]$|^\".*\"$|^'.*'$")
      string(TOUPPER "${family}" key)
      message(FATAL_ERROR "protowrap_generate: ${key}_HEADER cannot be named in Talvenor.ini as "
                          "it stands: \"${${family}_value}\" (${length} bytes) would be read "
                          "differently (values are cut at ${max_value_bytes} bytes, lose blanks at either end "
                          "and enclosing quotes, and end at a line end). Rename the header or move it.")
    endif()
  endforeach()
  # Rewritten only when its content changes, so that it does not trigger rebuilds by itself.
  set(ini "[CONFIG]\nCG_FILE_PATH=${cg_value}\nCW_FILE_PATH=${cw_value}\n")
  set(old "")
  if(EXISTS "${dir}/Talvenor.ini")
    file(READ "${dir}/Talvenor.ini" old)
  endif()
  if(NOT old STREQUAL ini)
    file(WRITE "${dir}/Talvenor.ini" "${ini}")
  endif()

  set(outputs "${dir}/Protocol_CG.WRAP.h" "${dir}/Protocol_CW.WRAP.h")
  # The step's stamp, written when a run has ended well: a run that did not end (a cancelled
  # build) or failed leaves none, and the next build runs protowrap again.
  set(stamp "${dir}/protowrap.stamp")
  add_custom_command(
    OUTPUT ${outputs} "${stamp}"
    COMMAND "${CMAKE_COMMAND}" "-DPROTOWRAP=$<TARGET_FILE:protowrap::protowrap>"
            "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}" "-DWORKING_DIR=${dir}"
            "-DWARNINGS_AS_ERRORS=${arg_WARNINGS_AS_ERRORS}" "-DSTAMP=${stamp}" -P "${run_script}"
    WORKING_DIRECTORY "${dir}"
    DEPENDS "${cg}" "${cw}" "${dir}/Talvenor.ini" "$<TARGET_FILE:protowrap::protowrap>"
            "${run_script}"
    COMMENT "Generating protocol wrap headers in ${dir}"
    VERBATIM)
  if(arg_OUTPUTS_VAR)
    set(${arg_OUTPUTS_VAR} ${outputs} PARENT_SCOPE)
  endif()
endfunction()

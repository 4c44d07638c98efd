# Run by cpack after it made a package: writes a NuGet package's entries again without a leading
# "./". Debian's nuget (2.8) names them so, and NuGet finds build/native/ only by the bare name
# (and skips a file whose content type names it with "/./").
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.nupkg$")
    continue()
  endif()
  set(work "${package}.entries")
  file(REMOVE_RECURSE "${work}")
  file(MAKE_DIRECTORY "${work}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${package}" WORKING_DIRECTORY "${work}"
                  COMMAND_ERROR_IS_FATAL ANY)
  # Files without an extension are named in the content types too.
  file(READ "${work}/[Content_Types].xml" types)
  string(REPLACE "PartName=\"/./" "PartName=\"/" types "${types}")
  file(WRITE "${work}/[Content_Types].xml" "${types}")
  file(GLOB_RECURSE entries LIST_DIRECTORIES false RELATIVE "${work}" "${work}/*")
  list(SORT entries)
  file(REMOVE "${package}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${package}" --format=zip ${entries}
                  WORKING_DIRECTORY "${work}" COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${work}")
endforeach()

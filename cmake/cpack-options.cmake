# Read by cpack for each kind of package it makes: the NuGet package holds the program, its
# documents and the MSBuild targets; the archives hold everything.
if(CPACK_GENERATOR STREQUAL "NuGet")
  set(CPACK_COMPONENTS_ALL program msbuild)
endif()

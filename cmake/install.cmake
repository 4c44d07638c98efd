# Installation (the program, the client header, its manual page, the README and licence, a CMake
# package that find_package(protowrap CONFIG) finds, and on Windows the MSBuild targets) and the
# release packages made by cpack.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Components, so that a package can take a part: "program" (the program and its documents),
# "cmake" (the CMake package) and, on Windows, "msbuild" (the targets for Visual Studio projects).
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME program)

install(TARGETS protowrap protowrap_client EXPORT protowrapTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES include/protowrap/protocol_table.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/protowrap)
install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
if(WIN32)
  install(FILES docs/protowrap.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  # Where NuGet finds MSBuild files for C++ projects and imports them by itself; the targets find
  # the program at ../../bin.
  install(FILES msbuild/protowrap.targets DESTINATION build/native COMPONENT msbuild)
else()
  # As Debian installs them: the manual page and the changelog compressed (gzip -n, so that the
  # bytes do not depend on when they were made), and the licence as the package's copyright file.
  # Made when CMake configures, so that an install needs no build step of its own.
  find_program(PROTOWRAP_GZIP gzip REQUIRED)
  set(doc_out ${CMAKE_CURRENT_BINARY_DIR}/doc)
  file(MAKE_DIRECTORY ${doc_out})
  foreach(doc protowrap.1 changelog)
    execute_process(COMMAND ${PROTOWRAP_GZIP} -9nc ${CMAKE_CURRENT_SOURCE_DIR}/docs/${doc}
                    OUTPUT_FILE ${doc_out}/${doc}.gz COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS docs/protowrap.1 docs/changelog)
  install(FILES ${doc_out}/protowrap.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${doc_out}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)
  # Static on purpose (it needs no shared library and starts sooner): say so to lintian.
  install(FILES cmake/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
          RENAME protowrap)
endif()

set(PROTOWRAP_PACKAGE_DIR lib/cmake/protowrap)  # where find_package looks on every platform
install(EXPORT protowrapTargets NAMESPACE protowrap:: DESTINATION ${PROTOWRAP_PACKAGE_DIR}
        COMPONENT cmake)
configure_package_config_file(cmake/protowrapConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/protowrapConfig.cmake INSTALL_DESTINATION ${PROTOWRAP_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/protowrapConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/protowrapConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/protowrapConfigVersion.cmake
              cmake/protowrap-generate.cmake cmake/protowrap-run.cmake
        DESTINATION ${PROTOWRAP_PACKAGE_DIR} COMPONENT cmake)

set(CPACK_PACKAGE_NAME protowrap)
set(CPACK_PACKAGE_VENDOR "The protowrap authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${CMAKE_CURRENT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x86_64)
  # The NuGet package for Visual Studio projects, where nuget is there to make it.
  find_program(PROTOWRAP_NUGET nuget)
  if(PROTOWRAP_NUGET)
    list(APPEND CPACK_GENERATOR NuGet)
  endif()
  # One package of the program and the targets (the CMake package has no use there); the
  # archives take every component (cmake/cpack-options.cmake chooses per package kind).
  set(CPACK_NUGET_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_SOURCE_DIR}/cmake/cpack-options.cmake)
  set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/cmake/nupkg-entry-names.cmake)
  set(CPACK_NUGET_PACKAGE_NAME protowrap)
  set(CPACK_NUGET_PACKAGE_AUTHORS "${CPACK_PACKAGE_VENDOR}")
  set(CPACK_NUGET_PACKAGE_TITLE "protowrap")
  string(CONCAT CPACK_NUGET_PACKAGE_DESCRIPTION
         "protowrap rewrites every enumeration of protocol codes in a game server's two "
         "protocol-definition headers (CG and CW) into an array of PROTOCOL_STRUCT entries. The "
         "package's MSBuild targets run it before C++ compilation, and only when a header changed.")
  # MIT, named by URL: Debian's nuget (2.8) knows no licence expressions. LICENSE is in the package.
  set(CPACK_NUGET_PACKAGE_LICENSEURL "https://opensource.org/licenses/MIT")
  set(CPACK_NUGET_PACKAGE_COPYRIGHT "Copyright (c) 2026 The protowrap authors")
  set(CPACK_NUGET_PACKAGE_HOMEPAGE_URL "${PROJECT_HOMEPAGE_URL}")
  set(CPACK_NUGET_PACKAGE_TAGS "native protocol code-generation msbuild")
else()
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
  # The Debian package: protowrap_<version>_<architecture>.deb, installed under /usr. The
  # architecture is the target's (not the build machine's, as dpkg would say); the program is
  # linked statically, so it depends on nothing.
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64|ARM64)$")
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
  elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
  endif()
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The protowrap authors <protowrap@example.org>")
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the text below it.
  string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
         "protowrap reads the paths of a game server's two protocol-definition\n"
         "headers (CG and CW) from ./Talvenor.ini and rewrites every enumeration\n"
         "of protocol codes into an array of PROTOCOL_STRUCT entries, from which a\n"
         "build makes name/value tables. It also installs a CMake package with\n"
         "protowrap_generate, which runs it as a build step.")
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "")
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
endif()
include(CPack)

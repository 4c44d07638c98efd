# Installation (the program, its manual page, the README and licence, and a CMake package that
# find_package(protowrap CONFIG) finds) and the release archives made by cpack.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS protowrap EXPORT protowrapTargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES doc/protowrap.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(PROTOWRAP_PACKAGE_DIR lib/cmake/protowrap)  # where find_package looks on every platform
install(EXPORT protowrapTargets NAMESPACE protowrap:: DESTINATION ${PROTOWRAP_PACKAGE_DIR})
configure_package_config_file(cmake/protowrapConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/protowrapConfig.cmake INSTALL_DESTINATION ${PROTOWRAP_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/protowrapConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/protowrapConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/protowrapConfigVersion.cmake
              cmake/protowrap-generate.cmake cmake/protowrap-run.cmake
        DESTINATION ${PROTOWRAP_PACKAGE_DIR})

set(CPACK_PACKAGE_NAME protowrap)
set(CPACK_PACKAGE_VENDOR "The protowrap authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${CMAKE_CURRENT_SOURCE_DIR}/README.md)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x86_64)
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
endif()
include(CPack)

# The release, made by `cmake --build build --target package`:
# Mallowbrook-<version>-win32.zip with the six launchers, README.txt and LICENSE.txt at its top and
# the administrators' guide in docs/; beside it the Windows Installer package
# Mallowbrook-<version>-win32.msi (the launchers and the two texts) and SHA256SUMS over both.
# Only the "release" component is packed, so test programs, stand-ins and benches never ship.
set(MALLOWBROOK_RELEASE_TARGETS)
foreach(year ${MALLOWBROOK_EDITIONS})
  if(year STREQUAL MALLOWBROOK_EDITION)
    list(APPEND MALLOWBROOK_RELEASE_TARGETS Mallowbrook)
  else()
    list(APPEND MALLOWBROOK_RELEASE_TARGETS Mallowbrook${year})
  endif()
endforeach()
install(TARGETS ${MALLOWBROOK_RELEASE_TARGETS} RUNTIME DESTINATION . COMPONENT release)

# Both texts are read on Windows desktops, so they ship with CRLF line ends.
set(texts ${CMAKE_BINARY_DIR}/release-texts)
configure_file(${PROJECT_SOURCE_DIR}/packaging/README.txt ${texts}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${texts}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${texts}/README.txt ${texts}/LICENSE.txt DESTINATION . COMPONENT release)
# README.txt points to the guide; the pages it links to and its pictures come with it.
install(FILES ${PROJECT_SOURCE_DIR}/docs/deploying.md ${PROJECT_SOURCE_DIR}/docs/capture-restore.md
  ${PROJECT_SOURCE_DIR}/docs/journal.md DESTINATION docs COMPONENT release)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/pictures DESTINATION docs COMPONENT release
  FILES_MATCHING PATTERN "*.png")

# The Windows Installer package holds the launchers and the two texts, each its own component.
set(MALLOWBROOK_LAUNCHER_FILES ${MALLOWBROOK_RELEASE_TARGETS})
list(TRANSFORM MALLOWBROOK_LAUNCHER_FILES APPEND .exe)
set(MALLOWBROOK_INSTALLER_COMPONENTS "")
set(MALLOWBROOK_INSTALLER_REFERENCES "")
foreach(file ${MALLOWBROOK_LAUNCHER_FILES} README.txt LICENSE.txt)
  string(APPEND MALLOWBROOK_INSTALLER_COMPONENTS
    "          <Component Id=\"${file}\" Guid=\"*\">\n"
    "            <File Id=\"${file}\" Name=\"${file}\" Source=\"${file}\" KeyPath=\"yes\"/>\n"
    "          </Component>\n")
  string(APPEND MALLOWBROOK_INSTALLER_REFERENCES "      <ComponentRef Id=\"${file}\"/>\n")
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/packaging/Mallowbrook.wxs.in ${CMAKE_BINARY_DIR}/packaging/Mallowbrook.wxs @ONLY)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Mallowbrook)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Mallowbrook-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_COMPONENTS_ALL release)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
# Signing (packaging/sign) of the staged launchers, then the package and the sums.
set(CPACK_MALLOWBROOK_SIGN ${MALLOWBROOK_SIGN})
set(CPACK_MALLOWBROOK_LAUNCHERS ${MALLOWBROOK_LAUNCHER_FILES})
set(CPACK_MALLOWBROOK_INSTALLER_SOURCE ${CMAKE_BINARY_DIR}/packaging/Mallowbrook.wxs)
set(CPACK_MALLOWBROOK_INSTALLER ${CMAKE_BINARY_DIR}/Mallowbrook-${PROJECT_VERSION}-win32.msi)
set(CPACK_MALLOWBROOK_SUMS ${CMAKE_BINARY_DIR}/SHA256SUMS)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageStaged.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageInstaller.cmake)
include(CPack)

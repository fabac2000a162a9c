# The release archive, made by `cmake --build build --target package`:
# Mallowbrook-<version>-win32.zip with the six launchers, README.txt and LICENSE.txt at its top.
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

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Mallowbrook)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Mallowbrook-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_COMPONENTS_ALL release)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)

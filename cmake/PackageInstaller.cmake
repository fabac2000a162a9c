# Run by CPack after the archive is made: the Windows Installer package beside it, from the same
# staged files, and SHA256SUMS over both, in sha256sum's format.
include(${CMAKE_CURRENT_LIST_DIR}/WindowsInstaller.cmake)
mallowbrook_windows_installer(${CPACK_PACKAGE_VERSION} ${CPACK_TEMPORARY_INSTALL_DIRECTORY}
  ${CPACK_MALLOWBROOK_INSTALLER_SOURCE} ${CPACK_MALLOWBROOK_INSTALLER})

set(sums "")
foreach(file ${CPACK_PACKAGE_FILES} ${CPACK_MALLOWBROOK_INSTALLER})
  file(SHA256 ${file} sum)
  get_filename_component(name ${file} NAME)
  string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE ${CPACK_MALLOWBROOK_SUMS}.partial "${sums}")
file(RENAME ${CPACK_MALLOWBROOK_SUMS}.partial ${CPACK_MALLOWBROOK_SUMS})

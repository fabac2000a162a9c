# Run by CPack once the release files are staged, before they are packed: signs the launchers when
# a certificate is given, and removes the package and sums of an earlier run, so that a run that
# fails later leaves no sums that do not match the archive beside them.
file(REMOVE ${CPACK_MALLOWBROOK_INSTALLER} ${CPACK_MALLOWBROOK_SUMS})
set(launchers ${CPACK_MALLOWBROOK_LAUNCHERS})
list(TRANSFORM launchers PREPEND ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/)
execute_process(COMMAND ${CPACK_MALLOWBROOK_SIGN} ${launchers} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "The launchers could not be signed")
endif()

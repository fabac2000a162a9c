# Builds Mallowbrook's Windows Installer package of one version with wixl, from a folder holding
# the released files, and signs it when a certificate is given (packaging/sign).
# The package target calls mallowbrook_windows_installer(); the release test builds a package of
# a lower version from the same files with
#   cmake -DVERSION=<version> -DFILES=<folder> -DSOURCE=<configured .wxs> -DOUTPUT=<.msi> -P WindowsInstaller.cmake

# Fixed for every release: Windows Installer finds the installed Mallowbrook by it.
set(MALLOWBROOK_UPGRADE_CODE 2454FB39-59DD-4397-806A-0785CC43F3F9)

function(mallowbrook_windows_installer version files source output)
  # Windows Installer versions: major and minor up to 255, build up to 65535.
  if(NOT version MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)(\\.[0-9]+)?$"
     OR CMAKE_MATCH_1 GREATER 255 OR CMAKE_MATCH_2 GREATER 255 OR CMAKE_MATCH_3 GREATER_EQUAL 65535)
    message(FATAL_ERROR "${version} cannot be a Windows Installer version")
  endif()
  math(EXPR next_build "${CMAKE_MATCH_3} + 1")
  set(ceiling "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${next_build}")
  # One product code per version, the same at every build of it: deployment tools detect the
  # installed release by it.
  string(UUID product_code NAMESPACE ${MALLOWBROOK_UPGRADE_CODE} NAME "Mallowbrook ${version}" TYPE SHA1 UPPER)

  find_program(wixl NAMES wixl REQUIRED)
  foreach(path files source output)
    get_filename_component(${path} ${${path}} ABSOLUTE)
  endforeach()
  set(partial ${output}.partial)
  file(REMOVE ${partial})
  # wixl takes the packaged files by names relative to where it runs.
  execute_process(
    COMMAND ${wixl} -o ${partial}
      -D Version=${version} -D ProductCode={${product_code}} -D UpgradeCode={${MALLOWBROOK_UPGRADE_CODE}}
      -D UpgradeCeiling=${ceiling} ${source}
    WORKING_DIRECTORY ${files}
    RESULT_VARIABLE wixl_result
    OUTPUT_VARIABLE wixl_output ERROR_VARIABLE wixl_output)
  if(NOT wixl_result EQUAL 0 OR NOT EXISTS ${partial})
    file(REMOVE ${partial})
    message(FATAL_ERROR "wixl could not build ${output}:\n${wixl_output}")
  endif()
  execute_process(COMMAND ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../packaging/sign ${partial}
    RESULT_VARIABLE sign_result)
  if(NOT sign_result EQUAL 0)
    file(REMOVE ${partial})
    message(FATAL_ERROR "${output} was not made: it could not be signed")
  endif()
  file(RENAME ${partial} ${output})
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  mallowbrook_windows_installer(${VERSION} ${FILES} ${SOURCE} ${OUTPUT})
endif()

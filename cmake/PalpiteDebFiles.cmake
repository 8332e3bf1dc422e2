# Run by cpack's install of the "deb" component (see PalpitePackage.cmake), with PALPITE_NAME,
# PALPITE_VERSION, PALPITE_GZIP, PALPITE_MANUAL, PALPITE_CHANGELOG and PALPITE_DEB_DIR set:
# checks that the changelog's latest entry names the version being packaged, and gzips the
# manual and the changelog into PALPITE_DEB_DIR (gzip -9n: maximum compression and no name or
# time stamp, so that the package is reproducible).
file(STRINGS "${PALPITE_CHANGELOG}" latest LIMIT_COUNT 1)
if(NOT latest MATCHES "^${PALPITE_NAME} \\(${PALPITE_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog: the latest entry is not for version "
        "${PALPITE_VERSION}: ${latest}")
endif()
if(NOT PALPITE_GZIP)
    message(FATAL_ERROR "gzip not found: the Debian package cannot be built")
endif()
file(MAKE_DIRECTORY "${PALPITE_DEB_DIR}")
foreach(file "${PALPITE_MANUAL}" "${PALPITE_CHANGELOG}")
    get_filename_component(name "${file}" NAME)
    execute_process(COMMAND "${PALPITE_GZIP}" -9nc "${file}"
        OUTPUT_FILE "${PALPITE_DEB_DIR}/${name}.gz" COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# Read by cpack before it makes each package (CPACK_PROJECT_CONFIG_FILE), with CPACK_GENERATOR
# naming the package being made. See PalpiteRelease.cmake.

# Archive members, archive headers and the stripped PE header carry SOURCE_DATE_EPOCH when it
# is set, and the time of packaging otherwise. Unless the caller has set it, it is the time of
# the last commit, looked up now, so that a package made after a new commit carries that
# commit's time. It is set in cpack's own environment, which strip inherits.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    set(palpite_epoch "")
    if(CPACK_PALPITE_GIT)
        execute_process(
            COMMAND "${CPACK_PALPITE_GIT}" -C "${CPACK_PALPITE_SOURCE_DIR}" log -1 --format=%ct
            OUTPUT_VARIABLE palpite_epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
    if(palpite_epoch MATCHES "^[0-9]+$")
        set(ENV{SOURCE_DATE_EPOCH} "${palpite_epoch}")
    else()
        message(WARNING "No git history in ${CPACK_PALPITE_SOURCE_DIR} and no "
            "SOURCE_DATE_EPOCH: the package carries the time it was made")
    endif()
endif()

# The static Linux release: the component "tarball", at the top of one folder.
if(CPACK_GENERATOR STREQUAL "TGZ" AND CPACK_PALPITE_TARBALL)
    set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_PALPITE_BINARY_DIR};${CPACK_PACKAGE_NAME};tarball;/")
    set(CPACK_PACKAGING_INSTALL_PREFIX /)
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PALPITE_TARBALL}")
endif()

# The Debian package, built by `cpack -G DEB` in the build directory. It lays the files out as
# Debian does for a game: the program in /usr/${PALPITE_PACKAGE_BINDIR} (/usr/games), the
# manual page gzipped in man6, and the copyright and the changelog in /usr/share/doc/palpite.
# These files form the install component "deb", which plain `cmake --install` leaves out; the
# package holds that component alone.

set(PALPITE_DEB_DIR "${PROJECT_BINARY_DIR}/deb")
set(PALPITE_DOCDIR share/doc/${PROJECT_NAME})

# The package's own files are made when it is packaged, not by the build (PalpiteDebFiles.cmake,
# run first by cpack's install of the component): the changelog is checked against the version,
# and the manual and the changelog are gzipped.
find_program(GZIP_PROGRAM gzip)
install(CODE "
    set(PALPITE_NAME \"${PROJECT_NAME}\")
    set(PALPITE_VERSION \"${PROJECT_VERSION}\")
    set(PALPITE_GZIP \"${GZIP_PROGRAM}\")
    set(PALPITE_MANUAL \"${PROJECT_BINARY_DIR}/doc/palpite.6\")
    set(PALPITE_CHANGELOG \"${PROJECT_SOURCE_DIR}/packaging/changelog\")
    set(PALPITE_DEB_DIR \"${PALPITE_DEB_DIR}\")
    include(\"${CMAKE_CURRENT_LIST_DIR}/PalpiteDebFiles.cmake\")"
    COMPONENT deb EXCLUDE_FROM_ALL)

install(TARGETS palpite RUNTIME DESTINATION ${PALPITE_PACKAGE_BINDIR}
    COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${PALPITE_DEB_DIR}/palpite.6.gz DESTINATION share/man/man6
    COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES packaging/copyright ${PALPITE_DEB_DIR}/changelog.gz DESTINATION ${PALPITE_DOCDIR}
    COMPONENT deb EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};deb;/")
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "the palpite authors")
set(CPACK_PACKAGE_CONTACT "palpite maintainers <maintainers@users.noreply.c-seed-43a56824.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "football match score predictor for the console")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "palpite asks for the name and overall rating of two teams, derives from the\n\
ratings how many goals each side can reach, draws the score and, on a level\n\
score, a penalty shoot-out. It speaks Brazilian Portuguese in plain ASCII.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

# A cross build packages the target's program: the package is named for the target's Debian
# architecture, which dpkg-architecture derives from the compiler's GNU triplet (CPack would
# take this machine's), and its Depends come from the program's shared libraries
# (PalpiteDebDepends.cmake, run by cpack), not from dpkg-shlibdeps, which here would look for
# them among this machine's packages.
if(CMAKE_CROSSCOMPILING)
    find_program(DPKG_ARCHITECTURE dpkg-architecture)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpmachine
        OUTPUT_VARIABLE palpite_triplet OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(DPKG_ARCHITECTURE AND palpite_triplet)
        execute_process(COMMAND ${DPKG_ARCHITECTURE} -t ${palpite_triplet} -qDEB_HOST_ARCH
            OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE
            ERROR_QUIET)
    endif()
    if(NOT CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
        message(WARNING "No Debian architecture for the target '${palpite_triplet}' (is "
            "dpkg-architecture installed?): a Debian package would be labelled for this machine")
    endif()
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
    # cpack reads one project file: this one reads first any that was set before it.
    set(palpite_cpack_project "")
    if(CPACK_PROJECT_CONFIG_FILE)
        set(palpite_cpack_project "include(\"${CPACK_PROJECT_CONFIG_FILE}\")\n")
    endif()
    file(GENERATE OUTPUT ${PALPITE_DEB_DIR}/cpack-depends.cmake CONTENT
"${palpite_cpack_project}set(PALPITE_READELF \"${CMAKE_READELF}\")
set(PALPITE_PROGRAM \"$<TARGET_FILE:palpite>\")
include(\"${CMAKE_CURRENT_LIST_DIR}/PalpiteDebDepends.cmake\")
")
    set(CPACK_PROJECT_CONFIG_FILE ${PALPITE_DEB_DIR}/cpack-depends.cmake)
endif()
include(CPack)

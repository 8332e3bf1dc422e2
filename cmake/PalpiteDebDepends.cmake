# Included by cpack (CPACK_PROJECT_CONFIG_FILE) in a cross build, with PALPITE_READELF and
# PALPITE_PROGRAM set: states the Debian package's Depends from the shared libraries the
# program links, as dpkg-shlibdeps does on the target. Here dpkg-shlibdeps finds the target's
# libraries only as this machine's cross-build copies, whose symbols files name those copies
# (libgcc-s1-armhf-cross) rather than the target's packages.
#
# Each library needed maps to the Debian package that ships it, and the package's minimum
# version is the newest symbol version the program asks of it (GLIBC_2.34: libc6 (>= 2.34)),
# which is how Debian's symbols files of these libraries date their symbols.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()

execute_process(COMMAND ${PALPITE_READELF} -dVW ${PALPITE_PROGRAM}
    OUTPUT_VARIABLE palpite_elf RESULT_VARIABLE palpite_failed)
if(palpite_failed)
    message(FATAL_ERROR "${PALPITE_READELF} cannot read ${PALPITE_PROGRAM}")
endif()

# The package of each library the program needs.
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*\\[[^]\n]*\\]" palpite_needed "${palpite_elf}")
set(palpite_packages "")
foreach(entry IN LISTS palpite_needed)
    string(REGEX REPLACE ".*\\[(.*)\\]" "\\1" library "${entry}")
    if(library MATCHES "^(libc\\.so\\.6|libm\\.so\\.6|ld-linux.*\\.so\\.[0-9]+|ld64\\.so\\.[0-9]+)$")
        set(package libc6)
    elseif(library STREQUAL "libgcc_s.so.1")
        set(package libgcc-s1)
    elseif(library STREQUAL "libstdc++.so.6")
        set(package libstdc++6)
    else()
        message(FATAL_ERROR "${PALPITE_PROGRAM} needs ${library}: no Debian package known for it")
    endif()
    set(palpite_package_of_${library} ${package})
    list(APPEND palpite_packages ${package})
endforeach()
list(REMOVE_DUPLICATES palpite_packages)
list(SORT palpite_packages)

# The newest version of each package's symbols that the program asks for, from the version
# needs: a "File: LIBRARY" line, then a "Name: PREFIX_X.Y" line for each version.
string(REPLACE "\n" ";" palpite_lines "${palpite_elf}")
set(library "")
foreach(line IN LISTS palpite_lines)
    if(line MATCHES "File: ([^ ]+)")
        set(library ${CMAKE_MATCH_1})
    elseif(line MATCHES "Name: [A-Z]+_([0-9][0-9.]*)( |$)" AND palpite_package_of_${library})
        set(package ${palpite_package_of_${library}})
        if(NOT palpite_minimum_${package} OR
           CMAKE_MATCH_1 VERSION_GREATER palpite_minimum_${package})
            set(palpite_minimum_${package} ${CMAKE_MATCH_1})
        endif()
    endif()
endforeach()

set(CPACK_DEBIAN_PACKAGE_DEPENDS "")
foreach(package IN LISTS palpite_packages)
    set(dependency ${package})
    if(palpite_minimum_${package})
        string(APPEND dependency " (>= ${palpite_minimum_${package}})")
    endif()
    list(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS "${dependency}")
endforeach()
list(JOIN CPACK_DEBIAN_PACKAGE_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)

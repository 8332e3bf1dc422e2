# Release files that two builds of the same commit make byte for byte alike, in any folder and
# at any time, and the static Linux release.
#
# palpite_release(TARGET LIBRARY...) prepares the program TARGET, which links the given
# libraries of this project, for release (the source and build directories are mapped out of
# what they compile by palpite_program_code, in PalpiteTargets.cmake):
# - On Windows the PE header gets no link time stamp (MinGW-w64 ld's --no-insert-timestamp).
# - With PALPITE_STATIC, the program is linked fully static and still position-independent,
#   -static-pie in place of the -pie that POSITION_INDEPENDENT_CODE adds: it loads no shared
#   library, so it does not depend on those of the system it runs on. `cpack -G TGZ` packs it
#   with its manual page, the README and the licence as palpite-<version>-linux-<arch>.tar.gz.
#
# At packaging time cpack stamps archive members, tar, ar and gzip headers, and (through strip)
# the PE header with SOURCE_DATE_EPOCH when it is set, with the clock otherwise. The CPack
# project file (PalpiteCPackProject.cmake) sets it, unless the caller has, to the time of the
# last commit. The build itself needs it nowhere: the program uses no date macro, and the
# Windows link leaves the time stamp out.

option(PALPITE_STATIC "Link the program with -static-pie and pack it with `cpack -G TGZ`" OFF)

if(PALPITE_STATIC AND (WIN32 OR APPLE))
    message(FATAL_ERROR "PALPITE_STATIC builds the static Linux release: it needs an ELF system")
endif()
if(PALPITE_STATIC)
    # Said now rather than at the link: a C library built without it has no rcrt1.o.
    include(CheckLinkerFlag)
    check_linker_flag(CXX -static-pie PALPITE_LINKS_STATIC_PIE)
    if(NOT PALPITE_LINKS_STATIC_PIE)
        message(FATAL_ERROR "PALPITE_STATIC: ${CMAKE_CXX_COMPILER} cannot link with -static-pie")
    endif()
endif()
# -static alone would link a program at a fixed address: GCC drops -pie when both are given.
if(PALPITE_HARDENING AND NOT WIN32 AND CMAKE_EXE_LINKER_FLAGS MATCHES "(^| )-static( |$)")
    message(FATAL_ERROR "-static in CMAKE_EXE_LINKER_FLAGS gives up position independence: "
        "use -DPALPITE_STATIC=ON, which links with -static-pie")
endif()

function(palpite_release target)
    if(MINGW)
        target_link_options(${target} PRIVATE LINKER:--no-insert-timestamp)
    endif()
    if(PALPITE_STATIC)
        # The libraries it links are position-independent code, whether or not hardening is on.
        foreach(lib IN LISTS ARGN)
            set_property(TARGET ${lib} PROPERTY POSITION_INDEPENDENT_CODE ON)
        endforeach()
        # Unset rather than OFF, which would add -no-pie: CMake then adds no PIE flag to the
        # link, and -static-pie alone makes the program position-independent.
        set_property(TARGET ${target} PROPERTY POSITION_INDEPENDENT_CODE)
        target_compile_options(${target} PRIVATE -fPIE)
        target_link_options(${target} PRIVATE -static-pie)
    endif()
endfunction()

# ---- packaging ----

# The CPack project file reads these, from CPackConfig.cmake, at packaging time.
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/PalpiteCPackProject.cmake")
set(CPACK_PALPITE_SOURCE_DIR "${PROJECT_SOURCE_DIR}")
find_program(GIT_PROGRAM git)
set(CPACK_PALPITE_GIT "${GIT_PROGRAM}")

if(PALPITE_STATIC)
    # One folder to unpack anywhere, as the Windows zip is: the program, its manual page, the
    # README and the licence. The component "tarball" is packed by `cpack -G TGZ` alone.
    string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" arch)
    set(CPACK_PALPITE_TARBALL ${PROJECT_NAME}-${PROJECT_VERSION}-linux-${arch})
    set(CPACK_PALPITE_BINARY_DIR "${PROJECT_BINARY_DIR}")
    install(TARGETS palpite RUNTIME DESTINATION . COMPONENT tarball EXCLUDE_FROM_ALL)
    install(FILES "${PROJECT_BINARY_DIR}/doc/palpite.6" "${PROJECT_SOURCE_DIR}/README.md"
                  "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION . COMPONENT tarball EXCLUDE_FROM_ALL)
endif()

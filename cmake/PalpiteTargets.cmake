# Settings for the project's own targets, so that nothing leaks onto GoogleTest or any other
# code built in the same tree.
#
#   palpite_warnings(TARGET)        the project's warnings, and -Werror with PALPITE_WERROR
#   palpite_program_code(TARGET)    for src/: warnings, no exceptions, no folder names, and with
#                                   PALPITE_COVERAGE gcov instrumentation
#   palpite_coverage(TARGET)        with PALPITE_COVERAGE, gcov instrumentation
#   palpite_self_contained(TARGET)  links a program so that it loads no C++ runtime library:
#                                   the program, and the tests, which then run under wine with
#                                   no MinGW DLL beside them
#
# PALPITE_ELF is true where the program is an ELF file, the only kind the linker flags of
# palpite_self_contained and palpite_harden apply to.

if(CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF")
    set(PALPITE_ELF TRUE)
else()
    set(PALPITE_ELF FALSE)
endif()

function(palpite_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
                                             $<$<BOOL:${PALPITE_WERROR}>:-Werror>)
endfunction()

function(palpite_program_code target)
    palpite_warnings(${target})
    # The program throws nothing and catches nothing: without exceptions no object of it refers
    # to the C++ runtime's personality routine, whichever standard library the compiler uses.
    target_compile_options(${target} PRIVATE -fno-exceptions)
    # The source and build directories mapped to ".": debug information and __FILE__ then hold
    # no folder name, and neither does the build-id, which the linker computes from them, so
    # that two builds in two folders make the same program. When one directory lies inside the
    # other, GCC and Clang apply the last matching map.
    target_compile_options(${target} PRIVATE "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=."
                                             "-ffile-prefix-map=${PROJECT_BINARY_DIR}=.")
    palpite_coverage(${target})
endfunction()

# With PALPITE_COVERAGE, gcov instrumentation: for src/, and for the tests, whose own copies of
# the console's inline reads are the ones their calls run.
function(palpite_coverage target)
    if(PALPITE_COVERAGE)
        target_compile_options(${target} PRIVATE --coverage)
        target_link_options(${target} PUBLIC --coverage)
    endif()
endfunction()

function(palpite_self_contained target)
    if(MINGW)
        # The C++ runtime, libgcc and winpthread linked in, so that palpite.exe runs on its own
        # with no DLL beside it but the system's, however it is built, native or cross.
        target_link_options(${target} PRIVATE -static)
    elseif(PALPITE_ELF)
        # The program uses nothing of the C++ runtime library; without --as-needed the linker
        # would still make every run load and bind it. The compiler's own helpers (division on
        # 32-bit ARM) come from libgcc's static archive rather than from libgcc_s.
        target_link_options(${target} PRIVATE LINKER:--as-needed
                                              -static-libgcc)
    endif()
endfunction()

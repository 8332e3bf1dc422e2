# palpite_harden(TARGET): builds TARGET as position-independent code and, for an executable,
# links it as a PIE with full RELRO (-z relro -z now); compiles it with
# -fstack-protector-strong and, in the optimised build types, with _FORTIFY_SOURCE=2 (which
# needs optimisation, and would only warn in a Debug build).
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)

function(palpite_harden target)
    set_property(TARGET ${target} PROPERTY POSITION_INDEPENDENT_CODE ON)
    # With -z now every library call is bound at load time, so it can go through the GOT
    # directly rather than through a PLT stub.
    target_compile_options(${target} PRIVATE -fstack-protector-strong -fno-plt)
    # Undefined first: some compilers already define it, and a redefinition would warn.
    target_compile_options(${target} PRIVATE
        "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        target_link_options(${target} PRIVATE LINKER:-z,relro LINKER:-z,now)
    endif()
endfunction()

# The common part of the toolchain files for Debian's cross compilers to Linux (packages
# g++-TRIPLET): the file for a target sets PALPITE_CROSS_TRIPLET (s390x-linux-gnu),
# PALPITE_CROSS_QEMU (the qemu-user program that runs the target's programs, qemu-s390x) and
# CMAKE_SYSTEM_PROCESSOR, then includes this one. CTest runs the target's programs, the tests
# and the program they start, through qemu-user, with the target's C library from
# /usr/TRIPLET (Debian's libc6-ARCH-cross).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${PALPITE_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${PALPITE_CROSS_TRIPLET}-g++)

# Headers and libraries come from the target's directory only; programs run at build time
# (qemu, the host's tools) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${PALPITE_CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(PALPITE_QEMU ${PALPITE_CROSS_QEMU})
if(PALPITE_QEMU)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PALPITE_QEMU} -L /usr/${PALPITE_CROSS_TRIPLET})
endif()

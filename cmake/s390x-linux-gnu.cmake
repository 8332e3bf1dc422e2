# Cross-builds for s390x, 64-bit and big-endian, with Debian's g++-s390x-linux-gnu; CTest runs
# the tests under qemu-s390x:
#     cmake -B build-s390x --toolchain cmake/s390x-linux-gnu.cmake
set(PALPITE_CROSS_TRIPLET s390x-linux-gnu)
set(PALPITE_CROSS_QEMU qemu-s390x)
set(CMAKE_SYSTEM_PROCESSOR s390x)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)

# Cross-builds for 64-bit ARM (Debian's arm64) with Debian's g++-aarch64-linux-gnu; CTest runs
# the tests under qemu-aarch64:
#     cmake -B build-arm64 --toolchain cmake/aarch64-linux-gnu.cmake
set(PALPITE_CROSS_TRIPLET aarch64-linux-gnu)
set(PALPITE_CROSS_QEMU qemu-aarch64)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)

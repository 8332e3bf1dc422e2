# Cross-builds for 32-bit ARM with hardware floating point (Debian's armhf) with Debian's
# g++-arm-linux-gnueabihf; CTest runs the tests under qemu-arm:
#     cmake -B build-armhf --toolchain cmake/arm-linux-gnueabihf.cmake
set(PALPITE_CROSS_TRIPLET arm-linux-gnueabihf)
set(PALPITE_CROSS_QEMU qemu-arm)
set(CMAKE_SYSTEM_PROCESSOR armv7l)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)

# Provides GTest::gtest_main for the tests: the installed GoogleTest when find_package finds
# it, otherwise GoogleTest built from source with FetchContent. Setting
# FETCHCONTENT_SOURCE_DIR_GOOGLETEST to a local copy of the sources (Debian's googletest
# package has one in /usr/src/googletest) builds that copy and downloads nothing.
find_package(GTest QUIET)
if(NOT GTest_FOUND)
    message(STATUS "GoogleTest not installed: building it from source")
    include(FetchContent)
    # Files extracted from the download get the time of extraction, so that a new download
    # rebuilds what depends on them.
    if(POLICY CMP0135)
        cmake_policy(SET CMP0135 NEW)
    endif()
    FetchContent_Declare(googletest
        URL https://github.com/google/googletest/archive/refs/tags/v1.14.0.tar.gz
        URL_HASH SHA256=8ad598c73ad796e0d8280b082cebd82a630d73e73cd3c70057938a6501bba5d7)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    FetchContent_MakeAvailable(googletest)
endif()
include(GoogleTest)

# The Windows builds of the same sources, cross-compiled beside the native
# build: 32-bit (the primary target) and 64-bit. ZORBEL_WINDOWS: AUTO builds
# them when the cross compilers are installed, ON insists, OFF skips.
set(ZORBEL_WINDOWS AUTO CACHE STRING "Cross-build and test for Windows: AUTO, ON or OFF")
set(ZORBEL_WINDOWS_BUILT OFF)
if(ZORBEL_WINDOWS STREQUAL "OFF")
  return()
endif()

# The -posix variants: GoogleTest, built into the Windows builds for their
# unit tests, needs their thread model. Linked statically, a program still
# imports nothing but the system's DLLs (tests/windows/check_imports.sh).
find_program(ZORBEL_MINGW32 i686-w64-mingw32-g++-posix)
find_program(ZORBEL_MINGW64 x86_64-w64-mingw32-g++-posix)
set(packages "g++-mingw-w64-i686 g++-mingw-w64-x86-64")
if(NOT ZORBEL_MINGW32 OR NOT ZORBEL_MINGW64)
  if(ZORBEL_WINDOWS STREQUAL "ON")
    message(FATAL_ERROR "Windows builds need the mingw-w64 cross compilers: apt-get install ${packages}")
  endif()
  message(STATUS "Windows builds and tests: off (apt-get install ${packages} to add them)")
  return()
endif()

# Their tests use GoogleTest built from Debian's source package.
set(ZORBEL_WINDOWS_TESTS OFF)
if(ZORBEL_TESTS AND EXISTS /usr/src/googletest/CMakeLists.txt)
  set(ZORBEL_WINDOWS_TESTS ON)
elseif(ZORBEL_TESTS)
  message(STATUS "Windows unit tests: off (apt-get install googletest to add them)")
endif()

include(ExternalProject)
foreach(arch i686 x86_64)
  ExternalProject_Add(windows-${arch}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${PROJECT_BINARY_DIR}/windows-${arch}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-${arch}.cmake
               -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
               -DZORBEL_WERROR=${ZORBEL_WERROR}
               -DZORBEL_TESTS=${ZORBEL_WINDOWS_TESTS}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)
endforeach()
set(ZORBEL_WINDOWS_BUILT ON)
include(${CMAKE_CURRENT_LIST_DIR}/wine.cmake)

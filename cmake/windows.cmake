# The Windows builds of the same sources, cross-compiled beside the native
# build: 32-bit (the primary target) and 64-bit. ZORBEL_WINDOWS: AUTO builds
# them when the cross compilers are installed, ON insists, OFF skips.
set(ZORBEL_WINDOWS AUTO CACHE STRING "Cross-build and test for Windows: AUTO, ON or OFF")
set(ZORBEL_WINDOWS_BUILT OFF)
set(ZORBEL_WINE_TESTS OFF)
if(ZORBEL_WINDOWS STREQUAL "OFF")
  return()
endif()

find_program(ZORBEL_MINGW32 i686-w64-mingw32-g++)
find_program(ZORBEL_MINGW64 x86_64-w64-mingw32-g++)
find_program(ZORBEL_WINE64 wine64 PATHS /usr/lib/wine)
set(packages "g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64")
if(NOT ZORBEL_MINGW32 OR NOT ZORBEL_MINGW64)
  if(ZORBEL_WINDOWS STREQUAL "ON")
    message(FATAL_ERROR "Windows builds need the mingw-w64 cross compilers: apt-get install ${packages}")
  endif()
  message(STATUS "Windows builds and tests: off (apt-get install ${packages} to add them)")
  return()
endif()

include(ExternalProject)
foreach(arch i686 x86_64)
  ExternalProject_Add(windows-${arch}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${PROJECT_BINARY_DIR}/windows-${arch}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-${arch}.cmake
               -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
               -DZORBEL_WERROR=${ZORBEL_WERROR}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)
endforeach()
set(ZORBEL_WINDOWS_BUILT ON)

if(ZORBEL_WINE64)
  set(ZORBEL_WINE_TESTS ON)
  message(STATUS "Windows builds: on; the 64-bit build is tested under ${ZORBEL_WINE64}")
elseif(ZORBEL_WINDOWS STREQUAL "ON")
  message(FATAL_ERROR "Testing the Windows build needs Wine: apt-get install wine64")
else()
  message(STATUS "Windows builds: on; not tested under Wine (apt-get install wine64 to add it)")
endif()

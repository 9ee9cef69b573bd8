# Which Wine runs each Windows build, decided once, here:
#   ZORBEL_WINE_x86_64   wine64
#   ZORBEL_WINE_i686     the 32-bit Wine, where this kernel runs 32-bit
#                        programs; else wine64 in its WoW64 mode, which runs
#                        32-bit Windows code when the 32-bit Wine DLLs
#                        (libwine:i386) are on WINEDLLPATH (ZORBEL_WINE_ENV_i686)
#   ZORBEL_WINESERVER    the server both share while the tests run
# With ZORBEL_WINDOWS=ON a build that cannot be run is an error.
find_program(ZORBEL_WINE64 wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(ZORBEL_WINE32 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(ZORBEL_WINESERVER wineserver PATHS /usr/lib/wine NO_DEFAULT_PATH)
set(ZORBEL_WINE_x86_64 ${ZORBEL_WINE64})
set(ZORBEL_WINE_i686 "")
set(ZORBEL_WINE_ENV_i686 "")
set(wine32_dlls /usr/lib/i386-linux-gnu/wine)
if(ZORBEL_WINE32)
  execute_process(COMMAND ${ZORBEL_WINE32} --version RESULT_VARIABLE runs OUTPUT_QUIET ERROR_QUIET)
  if(runs EQUAL 0)
    set(ZORBEL_WINE_i686 ${ZORBEL_WINE32})
  endif()
endif()
if(NOT ZORBEL_WINE_i686 AND ZORBEL_WINE64 AND EXISTS ${wine32_dlls}/i386-windows)
  set(ZORBEL_WINE_i686 ${ZORBEL_WINE64})
  set(ZORBEL_WINE_ENV_i686 WINEDLLPATH=${wine32_dlls})
endif()
if(NOT ZORBEL_WINESERVER) # the tests keep one server up for both builds
  set(ZORBEL_WINE_x86_64 "")
  set(ZORBEL_WINE_i686 "")
endif()

set(fix_x86_64 "apt-get install wine64")
set(fix_i686 "dpkg --add-architecture i386 && apt-get update && apt-get install wine32:i386")
foreach(arch i686 x86_64)
  if(ZORBEL_WINE_${arch})
    message(STATUS "The ${arch} Windows build is tested under ${ZORBEL_WINE_${arch}} ${ZORBEL_WINE_ENV_${arch}}")
  elseif(ZORBEL_WINDOWS STREQUAL "ON")
    message(FATAL_ERROR "No Wine here runs the ${arch} Windows build: ${fix_${arch}}")
  else()
    message(STATUS "The ${arch} Windows build is not run here (${fix_${arch}} to add it)")
  endif()
endforeach()

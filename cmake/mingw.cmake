# Windows with Debian's mingw-w64 cross compiler for ZORBEL_MINGW_TRIPLET;
# included by the toolchain file of each Windows build.
set(CMAKE_SYSTEM_NAME Windows)
# The -posix variants: GoogleTest (the Windows unit tests) needs their thread model.
set(CMAKE_CXX_COMPILER ${ZORBEL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_C_COMPILER ${ZORBEL_MINGW_TRIPLET}-gcc-posix) # GoogleTest enables C too
set(CMAKE_RC_COMPILER ${ZORBEL_MINGW_TRIPLET}-windres)
set(CMAKE_DLLTOOL ${ZORBEL_MINGW_TRIPLET}-dlltool)
set(CMAKE_FIND_ROOT_PATH /usr/${ZORBEL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# What both Windows toolchains share; each sets QELVO_MINGW_ARCH (i686 or
# x86_64) and QELVO_WINBUILD (the build's name: win32 or win64) first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QELVO_MINGW_ARCH})
set(CMAKE_C_COMPILER ${QELVO_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${QELVO_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${QELVO_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QELVO_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test executables run under Wine through the project's wrapper, with the
# loader and prefix of this build.
set(CMAKE_CROSSCOMPILING_EMULATOR env QELVO_WINBUILD=${QELVO_WINBUILD} ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec)

# Cross toolchain for the test build on machines whose kernel runs no
# 32-bit programs: the same sources for 64-bit Windows, run under Wine's
# 64-bit loader. What is handed out stays the i686 build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test executables run under Wine through the project's wrapper, with the
# loader and prefix of this build.
set(CMAKE_CROSSCOMPILING_EMULATOR env QELVO_WINBUILD=win64 ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec)

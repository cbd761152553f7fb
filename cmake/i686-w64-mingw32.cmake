# Cross toolchain for the product: 32-bit Windows, mingw-w64 with posix threads.
set(QELVO_MINGW_ARCH i686)
set(QELVO_WINBUILD win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

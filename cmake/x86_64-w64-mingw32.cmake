# Cross toolchain for the test build on machines whose kernel runs no
# 32-bit programs: the same sources for 64-bit Windows, run under Wine's
# 64-bit loader. What is handed out stays the i686 build.
set(QELVO_MINGW_ARCH x86_64)
set(QELVO_WINBUILD win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

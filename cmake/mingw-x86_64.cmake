# The same Windows tree as 64-bit programs (MinGW-w64 x86_64), run under wine64 on machines
# whose kernel cannot execute i386 code. It tests the sources; it ships nothing.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)

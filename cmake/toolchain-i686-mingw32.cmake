# Cross build of the 32-bit Windows program with Debian's mingw-w64.
# The posix thread model gives the standard library its std::thread and
# std::mutex; winpthread, libgcc and libstdc++ are linked in statically so the
# program needs no DLL that Windows does not ship.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(VELTRANO_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${VELTRANO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELTRANO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELTRANO_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${VELTRANO_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${VELTRANO_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${VELTRANO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine, in a prefix of the build tree's own.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh;--prefix;${CMAKE_BINARY_DIR}/wine-prefix"
    CACHE STRING "How test programs are run")

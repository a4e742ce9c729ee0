# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 toolchain
# (apt-get install g++-mingw-w64-x86-64):
#
#   cmake --preset windows
#
# (build-windows/, CMakePresets.json), which `make windows` runs. The programs are linked statically, so the .exe
# files need no DLL beyond those every Windows has.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_prefix x86_64-w64-mingw32)
# The posix thread model, whose C++ library has std::thread and std::async
# (gwinspect report gathers check's findings on a second thread); the win32
# model's has neither in this GCC. Its thread library is linked statically too.
set(CMAKE_C_COMPILER ${mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_prefix}-windres)

# Headers and libraries come from the toolchain only, never from the build
# machine; programs such as scdoc still do.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

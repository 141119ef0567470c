# Cross build of the native Windows program with Debian's mingw-w64 (posix
# threads flavour):
#   cmake -S . -B /tmp/build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# gives app/gbkconvert.exe, linked statically so that it needs no DLL.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GBK_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_CXX_COMPILER NAMES ${GBK_MINGW_PREFIX}-g++-posix ${GBK_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${GBK_MINGW_PREFIX}-gcc-posix ${GBK_MINGW_PREFIX}-gcc)
find_program(CMAKE_RC_COMPILER NAMES ${GBK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GBK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained program: the C++ runtime, libgcc and winpthread inside.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Run the programs a cross build makes (tests, if any) through Wine.
find_program(GBK_WINE NAMES wine wine64)
if(GBK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${GBK_WINE})
endif()

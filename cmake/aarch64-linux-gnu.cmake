# Cross build for 64-bit ARM Linux with Debian's aarch64-linux-gnu compilers:
#   cmake -S . -B build/arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
# The programs it makes run here under qemu-user (qemu-aarch64-static), its
# tests among them (CMAKE_CROSSCOMPILING_EMULATOR). They name the sysroot's
# own loader and libraries, so that qemu needs no -L: with -L a program sees
# the sysroot as /, and the tests that look up paths from / find other files.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(GBK_CROSS_PREFIX aarch64-linux-gnu)
find_program(CMAKE_CXX_COMPILER NAMES ${GBK_CROSS_PREFIX}-g++ REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${GBK_CROSS_PREFIX}-gcc)

set(GBK_SYSROOT /usr/${GBK_CROSS_PREFIX})
set(CMAKE_FIND_ROOT_PATH ${GBK_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# An RPATH, not a RUNPATH: it serves the libraries' own libraries too (the
# C++ library's libm).
set(library_path "-Wl,--disable-new-dtags,-rpath,${GBK_SYSROOT}/lib")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--dynamic-linker=${GBK_SYSROOT}/lib/ld-linux-aarch64.so.1 ${library_path}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${library_path}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${library_path}")

find_program(GBK_QEMU NAMES qemu-aarch64-static qemu-aarch64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${GBK_QEMU})

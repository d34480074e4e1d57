# Build of Vexa.so and its tests for 32-bit x86 Linux, with the host's gcc
# and its multilib runtime (g++-multilib: lib32stdc++6, libc6-i386).
#   cmake -S . -B build-i386 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/linux-i386.cmake
# The instruction set is the i686 DLL's (-march=i686, x87 arithmetic): no
# SSE2 is assumed, so the byte-at-a-time loops are compiled, and AVX2 and
# PCLMULQDQ are used only where the processor answers for them at run time.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -march=i686")
set(CMAKE_CXX_FLAGS_INIT "-m32 -march=i686")
# Libraries (zlib for the tests) from the multilib directories only.
set(CMAKE_LIBRARY_PATH /usr/lib32 /lib32)
set(CMAKE_IGNORE_PATH /usr/lib/x86_64-linux-gnu /lib/x86_64-linux-gnu)
# These machines run no 32-bit x86 code themselves: programs built for the
# target run under qemu-i386, tests and the test discovery that lists them.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../tools/emulators/run_i386.sh)

# Cross-builds Kestrel for 64-bit Windows with Debian's MinGW-w64 (posix threads model), and
# runs what it builds under Wine. Use: cmake -S . -B build-windows -G Ninja
#   -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The -posix variants: std::thread, std::mutex and friends need the winpthreads model; the
# -win32 variants lack them in GCC 12.
set(KESTREL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KESTREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTREL_MINGW_TRIPLE}-windres)

# Headers and libraries come from the MinGW tree only; programs (the code generators, the
# compiler itself) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KESTREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every Win32 call resolves to its wide (UTF-16) form: the ANSI code page is never used.
set(CMAKE_C_FLAGS_INIT "-DUNICODE -D_UNICODE")
set(CMAKE_CXX_FLAGS_INIT "-DUNICODE -D_UNICODE")

# One self-contained program: the C++ runtime, libgcc and winpthread are linked in, so
# nothing but Windows' own DLLs is needed beside the .exe. (-municode is not set here: it
# makes wmain/wWinMain the entry point, which each program chooses for itself.)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# CTest and gtest_discover_tests run the Windows programs through Wine, in a Wine prefix of
# this build folder's own.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run ${CMAKE_BINARY_DIR}/wineprefix)

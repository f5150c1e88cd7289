# The Windows build's own pieces: GoogleTest compiled with the cross compiler, and a check that
# a program needs no DLL beside it.

# Debian's libgtest is a Linux library; the Windows tests use its sources instead, built here
# before the project's warning flags are set, which are not meant for GoogleTest's own code.
function(kestrel_add_googletest_from_source)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    # Its own build files name the libraries GTest::gtest and GTest::gtest_main, as the
    # installed package does.
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endfunction()

# Windows' own DLLs: what a program may import and still be shipped as a lone .exe.
set(KESTREL_WINDOWS_SYSTEM_DLLS
    advapi32 comctl32 comdlg32 gdi32 kernel32 msvcrt ole32 oleaut32 shell32 shlwapi user32
    uxtheme version ws2_32)

# kestrel_test_imports(TARGET): a test that fails when TARGET imports any other DLL, such as
# the C++ runtime that a missing static link option would leave outside the program.
function(kestrel_test_imports target)
    add_test(NAME ${target}.imports_only_system_dlls
             COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${target}>
                     -DOBJDUMP=${CMAKE_OBJDUMP} "-DALLOWED=${KESTREL_WINDOWS_SYSTEM_DLLS}"
                     -P ${PROJECT_SOURCE_DIR}/cmake/CheckImports.cmake)
endfunction()

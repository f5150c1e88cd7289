// The C and C++ runtime that the static link puts into every Windows program.
#include <cstdio>
#include <exception>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <thread>

TEST(windows_runtime_test, an_exception_thrown_on_a_thread_is_caught_on_another) {
    // Needs the posix threads model (std::thread) and unwinding through the static runtime.
    std::exception_ptr caught;
    std::thread worker([&caught] {
        try {
            throw std::runtime_error("from the worker");
        } catch (...) {
            caught = std::current_exception();
        }
    });
    worker.join();
    ASSERT_TRUE(caught);
    try {
        std::rethrow_exception(caught);
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "from the worker");
    }
}

TEST(windows_runtime_test, numbers_print_as_on_linux) {
    // World files written here must match those written on Linux byte for byte. The C++
    // runtime's own printf writes two exponent digits, as glibc does; the system's msvcrt
    // printf would write three ("1e-005").
    char line[64];
    std::snprintf(line, sizeof line, "%24.16g|%24.17g|%g", 1e-5, 0.1, -2.5e300);
    EXPECT_STREQ(line, "                   1e-05|     0.10000000000000001|-2.5e+300");
}

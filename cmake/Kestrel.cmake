# Shared helpers for Kestrel's build files.

# Where the committed test fixtures live, for tests that read them.
set(KESTREL_TEST_DATA ${CMAKE_SOURCE_DIR}/tests/data)

# kestrel_test_suite(NAME LIBRARY...): one GoogleTest executable from every *_test.cpp
# in the calling folder, linked with the given libraries and registered with CTest.
function(kestrel_test_suite name)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
    if(NOT sources)
        return()
    endif()
    if(NOT TARGET GTest::gtest) # the Windows build compiles its own
        find_package(GTest REQUIRED)
    endif()
    include(GoogleTest)
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE KESTREL_TEST_DATA="${KESTREL_TEST_DATA}")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 600)
endfunction()

# Shared helpers for Kestrel's build files.

# Where the committed test fixtures live, for tests that read them. (The Windows suites run
# under Wine and are given it on drive Z:, as Wine shows the build machine's root.)
set(KESTREL_TEST_DATA ${CMAKE_SOURCE_DIR}/tests/data)

# kestrel_test_suite(NAME LIBRARY... [POSIX_ONLY FILE...]): one GoogleTest executable from
# every *_test.cpp in the calling folder, linked with the given libraries and registered with
# CTest. The files named after POSIX_ONLY test what only POSIX hosts have (permission bits,
# links, pipes, resource limits, system call tracing, crash injection) or need the GDAL tools,
# and are left out of a Windows build; files named *Windows_test.cpp test what only Windows
# has and are built for it alone.
function(kestrel_test_suite name)
    cmake_parse_arguments(PARSE_ARGV 1 suite "" "" "POSIX_ONLY")
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
    if(WIN32)
        foreach(file IN LISTS suite_POSIX_ONLY)
            list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${file})
        endforeach()
        # A hung Wine costs two minutes, not ten. Scratch folders go to the build machine's
        # /tmp, whose paths are short (tests/TemporaryFolder.h).
        set(timeout 120)
        set(environment KESTREL_TEST_TEMP=Z:/tmp)
        # Under Wine, with the prefix's server held up for the run (tests/windows).
        set(fixtures FIXTURES_REQUIRED wine_server)
        set(data Z:${KESTREL_TEST_DATA})
    else()
        list(FILTER sources EXCLUDE REGEX "Windows_test\\.cpp$")
        set(timeout 600)
        set(environment "")
        set(fixtures "")
        set(data ${KESTREL_TEST_DATA})
    endif()
    if(NOT TARGET GTest::gtest) # the Windows build compiles its own
        find_package(GTest REQUIRED)
    endif()
    include(GoogleTest)
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${suite_UNPARSED_ARGUMENTS} GTest::gtest GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE KESTREL_TEST_DATA="${data}")
    # Helpers shared by the suites (the GeoTIFF corpus) live in tests/ itself.
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120
        PROPERTIES TIMEOUT ${timeout} ENVIRONMENT "${environment}" ${fixtures})
endfunction()

# kestrel_gzip(SOURCE OUTPUT): OUTPUT is SOURCE compressed the way Debian wants documentation,
# gzip -9n (no name or time inside, so that the same text gives the same bytes); made by the
# default build.
function(kestrel_gzip source output)
    string(REGEX REPLACE "\\.gz$" "" uncompressed ${output})
    get_filename_component(folder ${output} DIRECTORY)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${uncompressed}
        COMMAND gzip -9nf ${uncompressed}
        DEPENDS ${source}
        VERBATIM)
    file(RELATIVE_PATH target ${CMAKE_BINARY_DIR} ${output})
    string(MAKE_C_IDENTIFIER ${target} target)
    add_custom_target(${target} ALL DEPENDS ${output})
endfunction()

# kestrel_install_man_page(PAGE): installs the man page PAGE (NAME.SECTION) compressed.
function(kestrel_install_man_page page)
    get_filename_component(name ${page} NAME)
    string(REGEX MATCH "[0-9]$" section ${name})
    kestrel_gzip(${page} ${CMAKE_CURRENT_BINARY_DIR}/man/${name}.gz)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/${name}.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()

# The Windows programs as one zip to hand out: kestrel.exe (when the dialog program is built),
# kestrel-cli.exe, the guide and the licence in a folder kestrel-VERSION-windows-x64, written
# to KESTREL_DIST_DIR (dist/ of the source tree unless given) by every build.
set(KESTREL_DIST_DIR ${PROJECT_SOURCE_DIR}/dist CACHE PATH "Where the Windows zip is written")
set(KESTREL_ZIP_NAME kestrel-${PROJECT_VERSION}-windows-x64)
set(KESTREL_ZIP ${KESTREL_DIST_DIR}/${KESTREL_ZIP_NAME}.zip)

set(zip_programs $<TARGET_FILE:kestrel-cli>)
set(zip_targets kestrel-cli)
if(TARGET kestrel)
    list(PREPEND zip_programs $<TARGET_FILE:kestrel>)
    list(PREPEND zip_targets kestrel)
endif()
# The dialog program's build names its guide pages; without it, the guide the Qt program
# shows.
if(DEFINED KESTREL_WINDOWS_GUIDE)
    set(zip_documents ${KESTREL_WINDOWS_GUIDE})
else()
    set(zip_documents ${PROJECT_SOURCE_DIR}/platform/qt/help/kestrel.html)
endif()
list(APPEND zip_documents ${PROJECT_SOURCE_DIR}/LICENSE)
list(REMOVE_DUPLICATES zip_documents)

set(zip_stage ${CMAKE_BINARY_DIR}/zip)
file(MAKE_DIRECTORY ${zip_stage})
add_custom_command(OUTPUT ${KESTREL_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${zip_stage}/${KESTREL_ZIP_NAME}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${zip_stage}/${KESTREL_ZIP_NAME}
            ${KESTREL_DIST_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${zip_programs} ${zip_documents}
            ${zip_stage}/${KESTREL_ZIP_NAME}
    # The same files give the same zip: every entry has one fixed date.
    COMMAND ${CMAKE_COMMAND} -E tar cf ${KESTREL_ZIP} --format=zip
            "--mtime=2000-01-01 00:00:00" ${KESTREL_ZIP_NAME}
    WORKING_DIRECTORY ${zip_stage}
    DEPENDS ${zip_targets} ${zip_documents}
    COMMENT "Packing ${KESTREL_ZIP_NAME}.zip"
    VERBATIM)
add_custom_target(windows_zip ALL DEPENDS ${KESTREL_ZIP})

if(KESTREL_TESTS)
    # What the zip holds, and that kestrel-cli.exe needs nothing beside it.
    set(zip_names)
    foreach(file IN LISTS zip_programs zip_documents)
        if(file MATCHES "TARGET_FILE:([^>]+)>")
            list(APPEND zip_names ${CMAKE_MATCH_1}.exe)
        else()
            get_filename_component(name ${file} NAME)
            list(APPEND zip_names ${name})
        endif()
    endforeach()
    add_test(NAME windows_zip.holds_the_programs_the_guide_and_the_licence
             COMMAND ${CMAKE_COMMAND} -DZIP=${KESTREL_ZIP} -DFOLDER=${KESTREL_ZIP_NAME}
                     "-DNAMES=${zip_names}" -P ${PROJECT_SOURCE_DIR}/cmake/CheckZip.cmake)
    list(REMOVE_DUPLICATES zip_names)
    # kestrel.exe's own test is with the dialog program's tests (tests/platform/win32).
    kestrel_test_imports(kestrel-cli)
endif()

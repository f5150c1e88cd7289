# Installs the build into a fresh prefix and checks that the desktop program, its guide, the
# licence, its icons, its desktop entry and its software centre entry are where a desktop
# looks for them, that the licence is where the guide's link and the About box lead, and that
# the installed program finds its guide and icon there (--check-installation).
# Arguments: -DBUILD_DIR=... -DPREFIX=... -DSOURCE_DIR=...
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(icon_sizes 16 22 24 32 48 64 128 256)
set(expected bin/kestrel share/kestrel/kestrel.html share/kestrel/LICENSE
    share/applications/kestrel.desktop
    share/metainfo/org.example.kestrel.metainfo.xml share/man/man1/kestrel.1.gz
    share/icons/hicolor/scalable/apps/kestrel.svg)
set(report "guide: ${PREFIX}/share/kestrel/kestrel.html\n")
foreach(size IN LISTS icon_sizes)
    set(icon share/icons/hicolor/${size}x${size}/apps/kestrel.png)
    list(APPEND expected ${icon})
    string(APPEND report "icon ${size}x${size}: ${PREFIX}/${icon}\n")
endforeach()
foreach(file IN LISTS expected)
    if(NOT EXISTS ${PREFIX}/${file})
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()
file(READ ${PREFIX}/share/applications/kestrel.desktop entry)
foreach(line "Exec=kestrel" "Icon=kestrel" "Type=Application")
    string(FIND "${entry}" "${line}" found)
    if(found EQUAL -1)
        message(FATAL_ERROR "the desktop entry lacks ${line}")
    endif()
endforeach()

file(READ ${SOURCE_DIR}/LICENSE source_licence)
file(READ ${PREFIX}/share/kestrel/LICENSE installed_licence)
if(NOT installed_licence STREQUAL source_licence)
    message(FATAL_ERROR "the installed LICENSE differs from the source's")
endif()
# The guide links to the licence relative to itself.
file(READ ${PREFIX}/share/kestrel/kestrel.html guide)
string(REGEX MATCH "href=\"([^\"#:]*LICENSE)\"" link "${guide}")
if(NOT link)
    message(FATAL_ERROR "the guide has no link to LICENSE")
endif()
if(NOT EXISTS ${PREFIX}/share/kestrel/${CMAKE_MATCH_1})
    message(FATAL_ERROR "the guide's link ${CMAKE_MATCH_1} leads nowhere")
endif()
# The About box names the licence it finds in ../share/kestrel beside the program.
if(NOT EXISTS ${PREFIX}/bin/../share/kestrel/LICENSE)
    message(FATAL_ERROR "the About box finds no LICENSE beside the installed program")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
        ${PREFIX}/bin/kestrel --check-installation
    TIMEOUT 60 RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT output STREQUAL report)
    message(FATAL_ERROR "the installed program does not find its data beside itself:\n"
        "${output}${errors}expected:\n${report}")
endif()
file(REMOVE_RECURSE ${PREFIX})
message(STATUS "installed and checked")

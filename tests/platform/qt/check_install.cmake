# Installs the build into a fresh prefix and checks that the desktop program, its guide, its
# icons and its desktop entry are where a desktop looks for them.
# Arguments: -DBUILD_DIR=... -DPREFIX=...
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(file bin/kestrel share/kestrel/kestrel.html share/applications/kestrel.desktop
        share/icons/hicolor/scalable/apps/kestrel.svg share/icons/hicolor/128x128/apps/kestrel.png
        share/icons/hicolor/48x48/apps/kestrel.png)
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
file(REMOVE_RECURSE ${PREFIX})
message(STATUS "installed and checked")

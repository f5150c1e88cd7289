# The Debian packages, made by `make package` (cpack in the build folder) from the install
# rules: kestrel, the desktop program, from platform/qt, and kestrel-cli from cli/. Each
# folder puts its files into its component; the documents Debian asks of every package
# (copyright and changelog) are added here.

include(GNUInstallDirs)

# The project has no mail address of its own yet; the reserved example.org stands in for it.
set(KESTREL_MAINTAINER "The Kestrel developers <kestrel@example.org>")

# Debian's copyright file in its machine-readable form, made from LICENSE: the copyright line,
# and the licence's text under Debian's name for it (Expat, the MIT licence's text).
function(kestrel_debian_copyright license output)
    file(READ ${license} text)
    if(NOT text MATCHES "Copyright \\(c\\) ([^\n]+)\n+(.*[^\n])\n*$")
        message(FATAL_ERROR "${license} has no line \"Copyright (c) YEAR HOLDER\"")
    endif()
    set(holder ${CMAKE_MATCH_1})
    # Continuation lines start with a space; an empty line is written as " .".
    string(REGEX REPLACE "\n\n" "\n.\n" body "${CMAKE_MATCH_2}")
    string(REPLACE "\n" "\n " body " ${body}")
    file(WRITE ${output}
        "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
        "Upstream-Name: ${PROJECT_NAME}\n"
        "Upstream-Contact: ${KESTREL_MAINTAINER}\n"
        "\n"
        "Files: *\n"
        "Copyright: ${holder}\n"
        "License: Expat\n"
        "${body}\n")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${license})
endfunction()

set(documents ${CMAKE_BINARY_DIR}/packaging)
kestrel_debian_copyright(${PROJECT_SOURCE_DIR}/LICENSE ${documents}/copyright)
kestrel_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog ${documents}/changelog.gz)

# component, package name, section, description (synopsis first).
set(packages)
if(TARGET kestrel)
    list(APPEND packages kestrel)
    set(CPACK_DEBIAN_KESTREL_PACKAGE_NAME kestrel)
    # The Qt platform plugins draw the window; the program loads them at run time, so the
    # shared-library dependencies cannot name them.
    set(CPACK_DEBIAN_KESTREL_PACKAGE_DEPENDS qt6-qpa-plugins)
    set(CPACK_DEBIAN_KESTREL_DESCRIPTION
        "examine and edit how a TIFF image is placed on the ground
Kestrel shows the georeferencing of a TIFF raster image in the two ways a
raster can have it: inside the TIFF, by the GeoTIFF tags ModelPixelScale and
ModelTiepoint, and beside it, by a world file (.tfw). It converts one into the
other and writes either back, in a single dialog.

TIFF files are updated in place: new tag values and a new image file directory
are appended and the header is rewritten last, so image data is never
rewritten. World files are replaced whole.")
endif()
if(TARGET kestrel-cli)
    list(APPEND packages cli)
    set(CPACK_DEBIAN_CLI_PACKAGE_NAME kestrel-cli)
    set(CPACK_DEBIAN_CLI_PACKAGE_SOURCE kestrel)
    set(CPACK_DEBIAN_CLI_DESCRIPTION
        "command line for the georeferencing of TIFF images
kestrel-cli does the job of Kestrel's dialog in scripts and over whole folders
of map sheets: it shows the GeoTIFF tags ModelPixelScale and ModelTiepoint of
each TIFF and the world file (.tfw) beside it, as text or JSON, converts one
into the other, and writes either back, with the dialog's own rules and
messages.")
endif()
foreach(component IN LISTS packages)
    string(TOUPPER ${component} upper)
    install(FILES ${documents}/copyright ${documents}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME}
        COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrel)
set(CPACK_PACKAGE_VENDOR "The Kestrel developers")
set(CPACK_PACKAGE_CONTACT ${KESTREL_MAINTAINER})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_COMPONENTS_ALL ${packages})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The build `make test` makes carries debugging information; the packages do not.
set(CPACK_STRIP_FILES ON)
include(CPack)

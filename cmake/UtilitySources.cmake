# kestrel_utility_sources(VARIABLE FOLDER): the utility library's sources in FOLDER for the host
# being built for. The operating-system seam (uOs*) has one implementation per host,
# uOs*Posix.cpp or uOs*Windows.cpp: only the host's are taken.
function(kestrel_utility_sources variable folder)
    if(WIN32)
        set(host Windows)
    else()
        set(host Posix)
    endif()
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "/uOs[^/]*(Posix|Windows)\\.cpp$")
    file(GLOB host_sources CONFIGURE_DEPENDS ${folder}/uOs*${host}.cpp)
    set(${variable} ${sources} ${host_sources} PARENT_SCOPE)
endfunction()

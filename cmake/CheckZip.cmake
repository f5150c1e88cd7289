# cmake -DZIP=... -DFOLDER=... -DNAMES=a;b;c -P CheckZip.cmake
# Fails unless the zip holds exactly the named files, all in FOLDER, none of them empty.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tvf ${ZIP}
                OUTPUT_VARIABLE listing ERROR_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ZIP} cannot be read")
endif()
set(expected)
foreach(name IN LISTS NAMES)
    list(APPEND expected ${FOLDER}/${name})
endforeach()
list(SORT expected)
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(found)
foreach(line IN LISTS lines)
    # "-rw-r--r--  0 0  0  12345  1 Jan  2000 FOLDER/NAME": mode, links, owner, group, size,
    # date, name (the names packed here hold no space).
    if(line MATCHES "^[-dl][-rwxsStT]+ +[0-9]+ +[0-9]+ +[0-9]+ +([0-9]+) .* ([^ ]+)$")
        set(size ${CMAKE_MATCH_1})
        set(name ${CMAKE_MATCH_2})
        if(NOT name MATCHES "/$") # a folder
            list(APPEND found ${name})
            if(size EQUAL 0)
                message(FATAL_ERROR "${name} is empty in ${ZIP}")
            endif()
        endif()
    endif()
endforeach()
list(SORT found)
if(NOT found STREQUAL expected)
    message(FATAL_ERROR "${ZIP} holds\n  ${found}\ninstead of\n  ${expected}")
endif()
message(STATUS "${ZIP} holds ${found}")

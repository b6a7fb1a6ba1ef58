# export_table.cmake - checks the export table of Sefrabox.dll with objdump,
# without running it: base 10, 24 slots, code behind exactly the ordinals
# 10, 11, 21, 22, 23, 24, 25 and 33, and MySendTo as the only name.
# cmake -DOBJDUMP=... -DDLL=... -P export_table.cmake
# objdump translates some of its words: read it in the C locale.
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C LANGUAGE=C ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${DLL}")
endif()

set(failures "")
if(NOT dump MATCHES "Ordinal Base[ \t]+10\n")
    string(APPEND failures "ordinal base is not 10\n")
endif()
if(NOT dump MATCHES "Export Address Table[ \t]+00000018\n")
    string(APPEND failures "the address table does not have 24 slots\n")
endif()
if(NOT dump MATCHES "\\[Name Pointer/Ordinal\\] Table[ \t]+00000001\n")
    string(APPEND failures "not exactly one name\n")
endif()

# "[   0] +base[  10] 21a0 Export RVA": the slots that lead to code.
string(REGEX MATCHALL "\\+base\\[ *[0-9]+\\] [0-9a-f]+ Export RVA" slots "${dump}")
set(ordinals "")
foreach(slot IN LISTS slots)
    string(REGEX REPLACE "\\+base\\[ *([0-9]+)\\].*" "\\1" ordinal "${slot}")
    list(APPEND ordinals ${ordinal})
endforeach()
if(NOT ordinals STREQUAL "10;11;21;22;23;24;25;33")
    string(APPEND failures "ordinals with code: ${ordinals}\n")
endif()

# "[Ordinal/Name Pointer] Table" lists "[  12] MySendTo": index 12 is ordinal 22.
string(REGEX MATCHALL "\n\t\\[ *[0-9]+\\] [A-Za-z_][A-Za-z0-9_@]*" names "${dump}")
if(NOT names STREQUAL "\n\t[  12] MySendTo")
    string(APPEND failures "names: ${names}\n")
endif()

if(failures)
    message(FATAL_ERROR "${failures}")
endif()
message(STATUS "export table: base 10, 24 slots, ordinals ${ordinals}, MySendTo by name")

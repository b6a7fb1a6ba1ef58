# layout_rule.cmake - the folders' dependencies that the README's Layout
# section states, checked on the include lines of the sources:
# - inside src/, a folder includes only itself and the folders below it, in
#   this order from the top: module (the entry points), sendto, shell,
#   volume, store, ui, machine (the machine-wide primitives), suite,
#   diagnostics, win, res; every folder of src/ has its place in it;
# - one exception: the main dialog's header (ui/sefrabox_dlg.h) builds the
#   visit's state from the records that store/, volume/ and shell/ declare
#   in their visit_state.h; those records are plain data, taking nothing of
#   src/ but their own folder and the Win32 layer;
# - the stand-ins take from src/ only the suite's contract (suite/) and the
#   Win32 layer (win/): they implement the contract and never reach into
#   the library.
# cmake -DROOT=<source folder> -P layout_rule.cmake
cmake_policy(SET CMP0057 NEW)

set(order module sendto shell volume store ui machine suite diagnostics win res)
set(areaRecords "(shell|volume|store)/visit_state\\.h")

# Every "#include "<folder>/..." of files whose <folder> is a folder of src/
# outside the allowed ones, and whose path is not one of the excepted, as
# "file: line".
function(foreign_includes out allowed excepted)
    set(found "")
    foreach(file ${ARGN})
        file(STRINGS ${file} lines REGEX "^#include \"[^\"/]+/")
        foreach(line ${lines})
            string(REGEX REPLACE "^#include \"([^\"/]+)/.*" "\\1" folder "${line}")
            string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" path "${line}")
            if(IS_DIRECTORY ${ROOT}/src/${folder} AND NOT folder MATCHES "^(${allowed})$"
               AND NOT path MATCHES "^(${excepted})$")
                file(RELATIVE_PATH name ${ROOT} ${file})
                string(APPEND found "  ${name}: ${line}\n")
            endif()
        endforeach()
    endforeach()
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

set(unplaced "")
file(GLOB entries LIST_DIRECTORIES true RELATIVE ${ROOT}/src ${ROOT}/src/*)
foreach(entry ${entries})
    if(IS_DIRECTORY ${ROOT}/src/${entry} AND NOT entry IN_LIST order)
        string(APPEND unplaced "  src/${entry}/ has no place in the folder order\n")
    endif()
endforeach()

set(upward "")
list(LENGTH order count)
math(EXPR last "${count} - 1")
foreach(index RANGE ${last})
    list(GET order ${index} folder)
    list(SUBLIST order ${index} -1 below)
    list(JOIN below "|" allowed)
    file(GLOB_RECURSE sources ${ROOT}/src/${folder}/*.cpp ${ROOT}/src/${folder}/*.h)
    list(REMOVE_ITEM sources ${ROOT}/src/ui/sefrabox_dlg.h)
    foreign_includes(found "${allowed}" "" ${sources})
    string(APPEND upward "${found}")
endforeach()
list(FIND order ui uiIndex)
list(SUBLIST order ${uiIndex} -1 below)
list(JOIN below "|" allowed)
foreign_includes(found "${allowed}" "${areaRecords}" ${ROOT}/src/ui/sefrabox_dlg.h)
string(APPEND upward "${found}")
file(GLOB records ${ROOT}/src/*/visit_state.h)
foreach(record ${records})
    get_filename_component(home ${record} DIRECTORY)
    get_filename_component(home ${home} NAME)
    foreign_includes(found "${home}|win" "" ${record})
    string(APPEND upward "${found}")
endforeach()

file(GLOB_RECURSE standins ${ROOT}/standins/*.cpp ${ROOT}/standins/*.h)
foreign_includes(fromStandins "suite|win" "" ${standins})

if(unplaced OR upward OR fromStandins)
    message(FATAL_ERROR "includes against the layout rule:\n${unplaced}${upward}${fromStandins}")
endif()

# layout_rule.cmake - the folders' dependencies that the README's Layout
# table states, checked on the include lines of the sources:
# - the stand-ins take from src/ only the suite's contract (suite/) and the
#   Win32 layer (win/): they implement the contract and never reach into
#   the library;
# - the Win32 layer takes from src/ only itself and the resource ids (res/).
# cmake -DROOT=<source folder> -P layout_rule.cmake

# Every "#include "<folder>/..." of files whose <folder> is a folder of src/
# outside the allowed ones, as "file: line".
function(foreign_includes out allowed)
    set(found "")
    foreach(file ${ARGN})
        file(STRINGS ${file} lines REGEX "^#include \"[^\"/]+/")
        foreach(line ${lines})
            string(REGEX REPLACE "^#include \"([^\"/]+)/.*" "\\1" folder "${line}")
            if(IS_DIRECTORY ${ROOT}/src/${folder} AND NOT folder MATCHES "^(${allowed})$")
                file(RELATIVE_PATH name ${ROOT} ${file})
                string(APPEND found "  ${name}: ${line}\n")
            endif()
        endforeach()
    endforeach()
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE standins ${ROOT}/standins/*.cpp ${ROOT}/standins/*.h)
foreign_includes(fromStandins "suite|win" ${standins})
file(GLOB win ${ROOT}/src/win/*.cpp ${ROOT}/src/win/*.h)
foreign_includes(fromWin "win|res" ${win})

if(fromStandins OR fromWin)
    message(FATAL_ERROR "includes against the layout rule:\n${fromStandins}${fromWin}")
endif()

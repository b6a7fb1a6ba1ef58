# Helpers shared by the CMake files of this tree.

# GoogleTest from Debian's sources, built with the cross compiler.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
function(sefrabox_use_gtest)
    if(NOT TARGET gtest)
        set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
        set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
        set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
        add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
        foreach(t gtest gtest_main gmock gmock_main)
            if(TARGET ${t})
                target_compile_options(${t} PRIVATE -w)
            endif()
        endforeach()
    endif()
endfunction()

# sefrabox_test(NAME sources... [LIBS libs...] [DEPENDS targets...])
# A GoogleTest program run under Wine by ctest; it links the test harness.
function(sefrabox_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;DEPENDS" ${ARGN})
    sefrabox_use_gtest()
    add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE gtest_main gtest sefrabox_harness ${T_LIBS})
    if(T_DEPENDS)
        add_dependencies(${name} ${T_DEPENDS})
    endif()
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    # A program that faults is ended by Wine's debugger with exit code 0:
    # the debugger's backtrace through the program's own frames fails it.
    set_tests_properties(${name} PROPERTIES FAIL_REGULAR_EXPRESSION " in ${name} \\(")
endfunction()

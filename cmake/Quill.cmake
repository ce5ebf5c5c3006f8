# SPDX-License-Identifier: GPL-2.0-or-later
# Helpers shared by every folder's CMakeLists.txt.

# Each library target compiles against an include view of its own: a folder in the build tree
# holding links to its own source folder and to the folders of the targets it uses, directly
# or through them. Headers are still named by folder ("base/ZString.h"), but an include of a
# folder the target may not use is not found, so an upward dependency fails when compiling,
# not only when linking.
function(quill_include_view name folders)
    set(view ${PROJECT_BINARY_DIR}/include-views/${name})
    file(REMOVE_RECURSE ${view})
    file(MAKE_DIRECTORY ${view})
    # Parents before children: a folder already reachable through its parent's link is
    # not linked again.
    list(SORT folders)
    set(linked "")
    foreach(folder IN LISTS folders)
        set(covered FALSE)
        foreach(done IN LISTS linked)
            string(FIND "${folder}/" "${done}/" at)
            if(at EQUAL 0)
                set(covered TRUE)
            endif()
        endforeach()
        if(covered)
            continue()
        endif()
        get_filename_component(parent ${view}/${folder} DIRECTORY)
        file(MAKE_DIRECTORY ${parent})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${view}/${folder} SYMBOLIC)
        list(APPEND linked ${folder})
    endforeach()
endfunction()

# quill_library(<name> [SHARED] SOURCES <files...> [DEPENDS <targets...>] [PRIVATE_DEPENDS <...>]
#               [HEADERS_OF <targets...>])
# Declares one library target in the current folder. DEPENDS and PRIVATE_DEPENDS name the
# project's targets this one may use (see the layering table in the architecture notes);
# HEADERS_OF names modules whose interface headers it sees without linking them (a module
# loaded by name at run time). All of them must be declared before it.
function(quill_library name)
    cmake_parse_arguments(Q "SHARED" "" "SOURCES;DEPENDS;PRIVATE_DEPENDS;HEADERS_OF" ${ARGN})
    if(Q_SHARED)
        add_library(${name} SHARED ${Q_SOURCES})
    else()
        add_library(${name} STATIC ${Q_SOURCES})
    endif()
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    set(visible ${folder})
    foreach(dep IN LISTS Q_DEPENDS Q_PRIVATE_DEPENDS Q_HEADERS_OF)
        if(TARGET ${dep})
            get_target_property(dep_visible ${dep} QUILL_VISIBLE_FOLDERS)
            if(dep_visible)
                list(APPEND visible ${dep_visible})
            endif()
        endif()
    endforeach()
    list(REMOVE_DUPLICATES visible)
    set_target_properties(${name} PROPERTIES QUILL_VISIBLE_FOLDERS "${visible}")
    quill_include_view(${name} "${visible}")
    target_include_directories(${name} PUBLIC ${PROJECT_BINARY_DIR}/include-views/${name})
    if(Q_DEPENDS)
        target_link_libraries(${name} PUBLIC ${Q_DEPENDS})
    endif()
    if(Q_PRIVATE_DEPENDS)
        target_link_libraries(${name} PRIVATE ${Q_PRIVATE_DEPENDS})
    endif()
endfunction()

# quill_test(<name> SOURCES <files...> DEPENDS <targets...> [GUI])
# One GoogleTest executable per library target. GUI tests carry the label "gui" and
# expect a display (the test command runs everything under xvfb-run). They share one X
# server, its keyboard focus and its pointer, so they run one at a time; unit tests run
# beside them. Tests see the whole source tree (their shared helpers live in tests/).
function(quill_test name)
    cmake_parse_arguments(Q "GUI" "" "SOURCES;DEPENDS" ${ARGN})
    add_executable(${name} ${Q_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${Q_DEPENDS} GTest::gtest GTest::gtest_main)
    if(Q_GUI)
        gtest_discover_tests(${name} PROPERTIES LABELS gui TIMEOUT 120
                             RESOURCE_LOCK x11-display DISCOVERY_TIMEOUT 60)
    else()
        gtest_discover_tests(${name} PROPERTIES LABELS unit TIMEOUT 120
                             DISCOVERY_TIMEOUT 60)
    endif()
endfunction()

# quill_add_subfolders()
# Adds every folder below the current source folder that has a CMakeLists.txt, so that a new
# benchmark or fuzz target is one new folder.
function(quill_add_subfolders)
    file(GLOB dirs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
    foreach(dir IN LISTS dirs)
        if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
            add_subdirectory(${dir})
        endif()
    endforeach()
endfunction()

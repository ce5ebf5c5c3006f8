# Helpers shared by every folder's CMakeLists.txt.

# quill_library(<name> [SHARED] SOURCES <files...> [DEPENDS <targets...>] [PRIVATE_DEPENDS <...>])
# Declares one library target. Headers are included by folder from the source root
# ("base/ZString.h"); the layering is enforced by linking only what a folder may use.
function(quill_library name)
    cmake_parse_arguments(Q "SHARED" "" "SOURCES;DEPENDS;PRIVATE_DEPENDS" ${ARGN})
    if(Q_SHARED)
        add_library(${name} SHARED ${Q_SOURCES})
    else()
        add_library(${name} STATIC ${Q_SOURCES})
    endif()
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
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
# beside them.
function(quill_test name)
    cmake_parse_arguments(Q "GUI" "" "SOURCES;DEPENDS" ${ARGN})
    add_executable(${name} ${Q_SOURCES})
    target_link_libraries(${name} PRIVATE ${Q_DEPENDS} GTest::gtest GTest::gtest_main)
    if(Q_GUI)
        gtest_discover_tests(${name} PROPERTIES LABELS gui TIMEOUT 120
                             RESOURCE_LOCK x11-display DISCOVERY_TIMEOUT 60)
    else()
        gtest_discover_tests(${name} PROPERTIES LABELS unit TIMEOUT 120
                             DISCOVERY_TIMEOUT 60)
    endif()
endfunction()

# A folder's include interface: links to its headers under
# ${PROJECT_BINARY_DIR}/include/<target>/<folder>/, the only include path the
# target gives. Whoever links the target reaches "<folder>/Header.h"; a header
# of a folder it does not link is not found, so a forbidden include fails the
# build. The repository root is no include path.
function(ovn_include_interface target scope folder)
    set(root ${PROJECT_BINARY_DIR}/include/${target})
    file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    file(REMOVE_RECURSE ${root})
    file(MAKE_DIRECTORY ${root}/${folder})
    foreach(header ${headers})
        get_filename_component(name ${header} NAME)
        file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
    endforeach()
    target_include_directories(${target} ${scope} ${root})
endfunction()

# One static library per source folder, built from the folder's .cpp files, so
# that each folder's dependencies stand in one visible line.
function(ovn_add_library name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${sources} ${headers})
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    ovn_include_interface(${name} PUBLIC ${folder})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# Registers the GoogleTest cases of `target` with CTest, labelled LABELS. The
# cases of a suite whose name ends in "AsRoot" need root (for anyone else they
# skip, saying why) and are labelled "root" as well: `ctest -LE root`.
function(ovn_discover_tests target)
    cmake_parse_arguments(ARG "" "PREFIX" "LABELS" ${ARGN})
    foreach(filter "-*AsRoot.*" "*AsRoot.*")
        set(labels ${ARG_LABELS})
        if(filter STREQUAL "*AsRoot.*")
            # Alone: gtest_discover_tests passes a list of labels on as separate
            # arguments, so "gui;root" would lose "root" and `ctest -LE root` miss it.
            set(labels root)
        endif()
        set(properties ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
        if(labels)
            list(APPEND properties LABELS "${labels}")
        endif()
        gtest_discover_tests(${target} TEST_PREFIX "${ARG_PREFIX}" TEST_FILTER "${filter}" DISCOVERY_TIMEOUT 60
                             PROPERTIES ${properties})
    endforeach()
endfunction()

# One GoogleTest executable per test folder, registered with CTest. A test
# reaches the headers of what it links, and its own folder's by their bare name.
function(ovn_add_test_folder name)
    cmake_parse_arguments(ARG "" "" "DEPS;LABELS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    ovn_discover_tests(${name} LABELS ${ARG_LABELS})
endfunction()

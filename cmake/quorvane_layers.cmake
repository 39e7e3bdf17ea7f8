# The core's layers. Each layer is a static library that links only the
# layers below it, and sees only their headers and its own: every layer gets
# an include root of its own under <build>/layers/<layer>, holding links to
# its folders' headers under their usual names ("ciphers/aes256.h"). A source
# that includes a header of a layer above it, or of one beside it, does not
# find the header and does not build.
#
# Sources and the programs above the core include through the source root as
# before; only the layers' own compile lines are confined.

# quorvane_layer(<name> FOLDERS <folder>... [BELOW <layer>...])
# Creates the library <name> whose headers are the *.h files of the FOLDERS
# (the window pages' tab_* headers stay out: they belong to the window
# library); BELOW names the layers it builds on. The folders' own
# CMakeLists.txt add the sources.
function(quorvane_layer name)
    cmake_parse_arguments(arg "" "" "FOLDERS;BELOW" ${ARGN})
    set(root ${CMAKE_BINARY_DIR}/layers/${name})
    # Rebuilt on every configure, so a removed or moved header disappears.
    file(REMOVE_RECURSE ${root})
    foreach(folder IN LISTS arg_FOLDERS)
        file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
        list(FILTER headers EXCLUDE REGEX "/tab_[^/]*\\.h$")
        file(MAKE_DIRECTORY ${root}/${folder})
        foreach(header IN LISTS headers)
            get_filename_component(file_name ${header} NAME)
            file(CREATE_LINK ${header} ${root}/${folder}/${file_name} SYMBOLIC)
        endforeach()
    endforeach()
    add_library(${name} STATIC)
    target_include_directories(${name} PUBLIC ${root})
    target_link_libraries(${name} PUBLIC ${arg_BELOW} PRIVATE quorvane_warnings)
    set_property(GLOBAL APPEND PROPERTY QUORVANE_LAYERS ${name})
endfunction()

# quorvane_layer_probe(<layer> <header> BUILDS|FAILS)
# A test that compiles `#include "<header>"` as a source of <layer> would be
# compiled, and expects it to build (BUILDS) or to stop because the header
# is not found (FAILS). The probe is outside the default build; the test
# builds it alone.
function(quorvane_layer_probe layer header expect)
    string(MAKE_C_IDENTIFIER "${layer}_${header}" probe)
    set(probe layer_probe_${probe})
    set(source ${CMAKE_BINARY_DIR}/layer_probes/${probe}.cpp)
    file(CONFIGURE OUTPUT ${source} CONTENT "#include \"${header}\"\n")
    add_library(${probe} OBJECT EXCLUDE_FROM_ALL ${source})
    get_target_property(root ${layer} INCLUDE_DIRECTORIES)
    get_target_property(below ${layer} LINK_LIBRARIES)
    target_include_directories(${probe} PRIVATE ${root})
    target_link_libraries(${probe} PRIVATE ${below})
    string(MAKE_C_IDENTIFIER "${header}" header_id)
    if(expect STREQUAL "FAILS")
        set(name layers_${layer}_cannot_include_${header_id})
    else()
        set(name layers_${layer}_includes_${header_id})
    endif()
    add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target ${probe})
    # Probes build in the one build tree: one at a time.
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK quorvane_build_tree)
    if(expect STREQUAL "FAILS")
        # Only a missing header counts: any other compile error is a broken
        # probe, not a kept boundary.
        string(REPLACE "." "\\." pattern "${header}")
        set_tests_properties(${name} PROPERTIES PASS_REGULAR_EXPRESSION
                             "${pattern}('? file not found|: No such file or directory)")
    elseif(NOT expect STREQUAL "BUILDS")
        message(FATAL_ERROR "quorvane_layer_probe: BUILDS or FAILS, not ${expect}")
    endif()
endfunction()

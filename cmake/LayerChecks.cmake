# The layers are kept apart twice on every build:
# - each layer's library is linked whole, with only the libraries below it,
#   into a program of its own, so a call to a layer above fails that link;
# - scripts/check-layers.sh reads every include of src/, tests/ and bench/,
#   so an include upwards fails the build even where no call follows it.
set(QUARNEX_LAYERS
    quarnex_core quarnex_device quarnex_fat12 quarnex_operations quarnex_commands quarnex_platform)
foreach(layer IN LISTS QUARNEX_LAYERS)
    add_executable(${layer}_alone cmake/layer_alone.cpp)
    target_link_libraries(${layer}_alone PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${layer}>")
    set_target_properties(${layer}_alone PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layers)
endforeach()

file(GLOB_RECURSE QUARNEX_INCLUDING_FILES CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.hpp
    ${PROJECT_SOURCE_DIR}/tests/*.cpp ${PROJECT_SOURCE_DIR}/tests/*.hpp
    ${PROJECT_SOURCE_DIR}/bench/*.cpp ${PROJECT_SOURCE_DIR}/bench/*.hpp)
set(QUARNEX_LAYERS_CHECKED ${CMAKE_BINARY_DIR}/layers/includes.checked)
add_custom_command(
    OUTPUT ${QUARNEX_LAYERS_CHECKED}
    COMMAND sh ${PROJECT_SOURCE_DIR}/scripts/check-layers.sh
    COMMAND ${CMAKE_COMMAND} -E touch ${QUARNEX_LAYERS_CHECKED}
    DEPENDS ${QUARNEX_INCLUDING_FILES} ${PROJECT_SOURCE_DIR}/scripts/check-layers.sh
    COMMENT "Checking that includes follow the layers"
    VERBATIM)
add_custom_target(quarnex_layer_includes ALL DEPENDS ${QUARNEX_LAYERS_CHECKED})
# Compiling waits for the check, so a wrong include stops the build early.
foreach(layer IN LISTS QUARNEX_LAYERS)
    add_dependencies(${layer} quarnex_layer_includes)
endforeach()

# Header-only libraries come from the build machine's /usr/include, but that
# folder cannot be searched whole by the cross compiler (its C library
# headers are Linux's): each library's own folder is linked into one of its
# own in the build tree.
function(quarnex_host_headers target)
    set(folder ${CMAKE_BINARY_DIR}/host-headers/${target})
    foreach(name IN LISTS ARGN)
        if(NOT EXISTS ${folder}/${name})
            file(MAKE_DIRECTORY ${folder})
            file(CREATE_LINK /usr/include/${name} ${folder}/${name} SYMBOLIC)
        endif()
    endforeach()
    add_library(${target} INTERFACE IMPORTED)
    set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${folder})
endfunction()

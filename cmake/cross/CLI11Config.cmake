include(${CMAKE_CURRENT_LIST_DIR}/HostHeaders.cmake)
if(NOT TARGET CLI11::CLI11)
    quarnex_host_headers(CLI11::CLI11 CLI)
endif()

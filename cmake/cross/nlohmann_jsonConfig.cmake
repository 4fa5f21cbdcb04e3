include(${CMAKE_CURRENT_LIST_DIR}/HostHeaders.cmake)
if(NOT TARGET nlohmann_json::nlohmann_json)
    quarnex_host_headers(nlohmann_json::nlohmann_json nlohmann)
endif()

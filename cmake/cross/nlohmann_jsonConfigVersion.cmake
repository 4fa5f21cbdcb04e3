# The version of the build machine's package, whose headers are used.
include(/usr/share/cmake/nlohmann_json/nlohmann_jsonConfigVersion.cmake)

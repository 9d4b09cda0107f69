# nlohmann/json is header-only: a cross build takes it from the build
# machine (Debian's nlohmann-json3-dev), through a folder that holds only it,
# so none of the build machine's other headers reach the target's compiler.
find_path(KOVA_NLOHMANN_INCLUDE nlohmann/json.hpp PATHS /usr/include /usr/local/include
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT KOVA_NLOHMANN_INCLUDE)
  message(FATAL_ERROR "nlohmann/json.hpp not found: install the Debian package nlohmann-json3-dev")
endif()
set(kova_json_stage ${CMAKE_BINARY_DIR}/json-include)
file(MAKE_DIRECTORY ${kova_json_stage})
file(CREATE_LINK ${KOVA_NLOHMANN_INCLUDE}/nlohmann ${kova_json_stage}/nlohmann SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
                      INTERFACE_INCLUDE_DIRECTORIES ${kova_json_stage})

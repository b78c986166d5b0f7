# The libraries the Windows cross-build takes from Debian's packages without taking anything of
# the Linux system with them:
# - GoogleTest is built from the sources that Debian's googletest package installs, with the
#   same toolchain as the program;
# - CLI11 and nlohmann/json are header-only: their headers are copied into the build folder and
#   found through package redirects, so the Linux /usr/include never enters an include path.
set(TARVO_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH
    "GoogleTest sources to build with the cross toolchain (Debian package googletest)")
set(TARVO_HOST_INCLUDE_DIR /usr/include CACHE PATH
    "Where the host's CLI11 and nlohmann/json headers are (Debian libcli11-dev, nlohmann-json3-dev)")

set(host_headers ${CMAKE_BINARY_DIR}/host-headers)
foreach(header_folder CLI nlohmann)
  if(NOT EXISTS ${TARVO_HOST_INCLUDE_DIR}/${header_folder})
    message(FATAL_ERROR "${TARVO_HOST_INCLUDE_DIR}/${header_folder} is missing: install "
                        "libcli11-dev and nlohmann-json3-dev")
  endif()
  file(COPY ${TARVO_HOST_INCLUDE_DIR}/${header_folder} DESTINATION ${host_headers})
endforeach()

# name of the package -> imported target, version
function(tarvo_header_package package target version)
  file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/${package}-config.cmake
       "if(NOT TARGET ${target})\n"
       "  add_library(${target} INTERFACE IMPORTED)\n"
       "  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${host_headers})\n"
       "endif()\n")
  file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/${package}-config-version.cmake
       "set(PACKAGE_VERSION ${version})\n"
       "set(PACKAGE_VERSION_COMPATIBLE TRUE)\n"
       "if(PACKAGE_FIND_VERSION AND PACKAGE_VERSION VERSION_LESS PACKAGE_FIND_VERSION)\n"
       "  set(PACKAGE_VERSION_COMPATIBLE FALSE)\n"
       "endif()\n")
endfunction()

file(STRINGS ${host_headers}/CLI/Version.hpp cli11_version_line REGEX "define CLI11_VERSION ")
string(REGEX MATCH "[0-9]+\\.[0-9]+\\.[0-9]+" cli11_version "${cli11_version_line}")
tarvo_header_package(cli11 CLI11::CLI11 ${cli11_version})
set(json_version_header ${host_headers}/nlohmann/detail/abi_macros.hpp)
if(NOT EXISTS ${json_version_header})
  set(json_version_header ${host_headers}/nlohmann/json.hpp)
endif()
file(STRINGS ${json_version_header} json_version_lines
     REGEX "define NLOHMANN_JSON_VERSION_(MAJOR|MINOR|PATCH) ")
string(REGEX MATCHALL "[0-9]+" json_version_parts "${json_version_lines}")
string(JOIN "." json_version ${json_version_parts})
tarvo_header_package(nlohmann_json nlohmann_json::nlohmann_json ${json_version})

if(TARVO_BUILD_TESTS)
  if(NOT EXISTS ${TARVO_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "${TARVO_GOOGLETEST_SOURCE_DIR} holds no GoogleTest sources: install "
                        "the googletest package")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${TARVO_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

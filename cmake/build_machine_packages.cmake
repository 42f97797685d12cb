# A cross build finds only the target's libraries (the toolchain roots every search in the mingw-w64
# tree), yet two of the packages the project needs are sources, not built code: the JSON library is all
# headers and GoogleTest is built with the project. This takes them from the build machine, exposing only
# their own folders, never its /usr/include (whose C library headers would shadow the target's).
set(romc_host_headers ${CMAKE_BINARY_DIR}/host-headers)

macro(romc_find_json)
  find_package(nlohmann_json 3.10 QUIET)
  if(NOT nlohmann_json_FOUND AND NOT TARGET nlohmann_json::nlohmann_json)
    find_path(romc_json_include nlohmann/json.hpp NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    file(MAKE_DIRECTORY ${romc_host_headers})
    file(CREATE_LINK ${romc_json_include}/nlohmann ${romc_host_headers}/nlohmann SYMBOLIC)
    add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
    target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${romc_host_headers})
  endif()
endmacro()

macro(romc_find_gtest)
  find_package(GTest QUIET)
  if(NOT GTest_FOUND AND NOT TARGET GTest::gtest)
    find_path(romc_gtest_source CMakeLists.txt PATHS /usr/src/googletest NO_DEFAULT_PATH
              NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(${romc_gtest_source} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    if(NOT TARGET GTest::gtest) # GoogleTest 1.11 and later name them so themselves
      add_library(GTest::gtest ALIAS gtest)
      add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
  endif()
endmacro()

# Each header of the libraries included alone in a translation unit of its own, and the libraries'
# sources compiled one by one: a unity batch lends a file the includes of the files before it, and a user's
# build, which compiles each file alone, would be the first to miss one. The faces' headers are left out:
# they need Qt or Windows, and their sources are few.
file(GLOB_RECURSE romc_alone_headers RELATIVE ${PROJECT_SOURCE_DIR}/src CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/src/*.h)
list(FILTER romc_alone_headers EXCLUDE REGEX "^(ui|win32)/")
set(romc_alone_units)
foreach(header IN LISTS romc_alone_headers)
  string(MAKE_C_IDENTIFIER ${header} unit)
  set(source ${CMAKE_BINARY_DIR}/headers_alone/${unit}.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "#include \"${header}\" // alone: it must bring what it needs\n")
  list(APPEND romc_alone_units ${source})
endforeach()
add_library(headers_alone OBJECT ${romc_alone_units})
target_include_directories(headers_alone PRIVATE ${PROJECT_SOURCE_DIR}/src)
# The libraries' own include folders and packages (JSON, the generated version), nothing linked.
foreach(library romcore romlists rominspect romsaves romform romcli romdemo)
  if(TARGET ${library})
    target_include_directories(headers_alone PRIVATE $<TARGET_PROPERTY:${library},INTERFACE_INCLUDE_DIRECTORIES>)
    set_target_properties(${library} PROPERTIES UNITY_BUILD OFF)
  endif()
endforeach()
set_target_properties(headers_alone PROPERTIES UNITY_BUILD OFF)
romc_strict_warnings(headers_alone)

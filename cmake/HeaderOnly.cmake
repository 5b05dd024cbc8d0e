# CLI11 and toml++ are used header-only, from Debian's packages
# (libcli11-dev, libtomlplusplus-dev). Their folders are linked into one of
# the build's own, so a cross build finds them without the host's include
# folder and its C library headers.
function(tavrin_header_only_libraries target)
  set(linked ${CMAKE_BINARY_DIR}/header-only)
  foreach(entry "CLI11;CLI/CLI.hpp;CLI;libcli11-dev" "toml++;toml++/toml.h;toml++;libtomlplusplus-dev")
    list(GET entry 0 name)
    list(GET entry 1 header)
    list(GET entry 2 folder)
    list(GET entry 3 package)
    string(MAKE_C_IDENTIFIER "TAVRIN_${name}_INCLUDE_DIR" variable)
    find_path(${variable} ${header} PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
    if(NOT ${variable})
      message(FATAL_ERROR "${name} not found: install ${package}")
    endif()
    file(MAKE_DIRECTORY ${linked})
    file(CREATE_LINK ${${variable}}/${folder} ${linked}/${folder} SYMBOLIC)
  endforeach()
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE ${linked})
  # Parse errors come back as values; no compiled toml++ library is needed.
  target_compile_definitions(${target} INTERFACE TOML_HEADER_ONLY=1 TOML_EXCEPTIONS=0)
endfunction()

# The About dialog's machine-wide registry store: its file parser and the value rules.
# The fuzz build stops before editor/dialogs (it has windows), so the plain registry
# library is added from here.
if(NOT TARGET quillon_registry)
  add_subdirectory(${PROJECT_SOURCE_DIR}/editor/dialogs/registry
                   ${CMAKE_BINARY_DIR}/editor/dialogs/registry)
endif()
torvane_add_fuzzer(fuzz_registry_store ${CMAKE_CURRENT_SOURCE_DIR}/RegistryStoreFuzz.cpp
                   quillon_registry)

# The About dialog's machine-wide registry store: its file parser and the value rules.
torvane_add_fuzzer(fuzz_registry_store ${CMAKE_CURRENT_LIST_DIR}/dialogs/RegistryStoreFuzz.cpp
                   quillon_registry)

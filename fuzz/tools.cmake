# torvane-cfg: its UTF-8 input and the encode command as a whole.
torvane_add_fuzzer(fuzz_torvane_cfg ${CMAKE_CURRENT_LIST_DIR}/tools/CfgToolFuzzer.cpp torvane_cfg torvane_warnings)

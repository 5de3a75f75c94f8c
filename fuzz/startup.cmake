# Start-up's command line: the splitter, the rebuilt line, the switch table and the
# wildcard file test.
torvane_add_fuzzer(fuzz_tokenize ${CMAKE_CURRENT_LIST_DIR}/startup/fuzz_tokenize.cpp quillon_cmdline)

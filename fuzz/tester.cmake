# The tester's plain rules: escaping, progress, layout, line breaks and stamp formats.
torvane_add_fuzzer(fuzz_tester_rules ${CMAKE_CURRENT_LIST_DIR}/tester/RulesFuzzer.cpp tester_rules)
# The sequence files a test bench runs.
torvane_add_fuzzer(fuzz_sequence ${CMAKE_CURRENT_LIST_DIR}/tester/SequenceFuzzer.cpp tester_rules)
# The regular expressions of the sequences' expectations.
torvane_add_fuzzer(fuzz_pattern ${CMAKE_CURRENT_LIST_DIR}/tester/PatternFuzzer.cpp tester_rules)

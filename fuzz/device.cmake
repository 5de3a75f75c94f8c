# The line protocol: framing, escapes, lines of both sides, serial settings, init file.
torvane_add_fuzzer(fuzz_protocol ${CMAKE_CURRENT_LIST_DIR}/device/ProtocolFuzzer.cpp torvane_protocol)

# The config file codec: the cipher against its rule, and the UTF-16 file layer.
torvane_add_fuzzer(fuzz_cipher ${CMAKE_CURRENT_LIST_DIR}/codec/CipherFuzzer.cpp quillon_codec torvane_warnings)
torvane_add_fuzzer(fuzz_unicode_file ${CMAKE_CURRENT_LIST_DIR}/codec/UnicodeFileFuzzer.cpp quillon_codec torvane_warnings)
# The cipher's rule restated once, for the tests and this fuzzer alike.
target_include_directories(fuzz_cipher PRIVATE ${PROJECT_SOURCE_DIR}/tests/editor/codec)
torvane_add_fuzzer(fuzz_replacement ${CMAKE_CURRENT_LIST_DIR}/codec/ReplacementFuzzer.cpp quillon_codec torvane_warnings)
torvane_add_fuzzer(fuzz_recognition ${CMAKE_CURRENT_LIST_DIR}/codec/RecognitionFuzzer.cpp quillon_codec torvane_warnings)

# The tester's log: its memory, append and resize figures, and appending in place against
# rewriting the whole text.
add_executable(bench_tester_log ${CMAKE_CURRENT_LIST_DIR}/tester/LogBench.cpp)
target_link_libraries(bench_tester_log PRIVATE tester_ui bench_editor_support benchmark::benchmark
                      torvane_warnings)
target_include_directories(bench_tester_log PRIVATE ${CMAKE_CURRENT_LIST_DIR}/editor)
# A thousand commands of a sequence run against torvane-unit on a pseudo-terminal.
add_executable(bench_tester_run ${CMAKE_CURRENT_LIST_DIR}/tester/RunThroughputBench.cpp)
target_link_libraries(bench_tester_run PRIVATE tester_run torvane_warnings)
target_compile_definitions(bench_tester_run PRIVATE TORVANE_UNIT="$<TARGET_FILE:torvane-unit>")
add_dependencies(bench_tester_run torvane-unit)

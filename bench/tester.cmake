# The tester's log: appending in place against rewriting the whole text.
add_executable(bench_tester_log ${CMAKE_CURRENT_LIST_DIR}/tester/LogBench.cpp)
target_link_libraries(bench_tester_log PRIVATE tester_ui benchmark::benchmark torvane_warnings)

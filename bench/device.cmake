# The control's silence limit as a unit meets it, on a pseudo-terminal.
add_executable(bench_device_silence ${CMAKE_CURRENT_LIST_DIR}/device/SilenceLimitBench.cpp
  ${PROJECT_SOURCE_DIR}/tools/torvane-unit/PseudoTerminal.cpp)
target_include_directories(bench_device_silence PRIVATE ${PROJECT_SOURCE_DIR}/tools/torvane-unit)
target_link_libraries(bench_device_silence PRIVATE torvane_device Qt6::Core benchmark::benchmark
  torvane_warnings)

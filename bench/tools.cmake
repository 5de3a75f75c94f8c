# torvane-cfg as a process, raced against iconv converting the same file.
add_executable(bench_tools_cfg ${CMAKE_CURRENT_LIST_DIR}/tools/CfgProcessBench.cpp)
target_link_libraries(bench_tools_cfg PRIVATE quillon_codec torvane_warnings)
target_compile_definitions(bench_tools_cfg PRIVATE TORVANE_CFG="$<TARGET_FILE:torvane-cfg>")
add_dependencies(bench_tools_cfg torvane-cfg)

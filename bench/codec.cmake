# The config file codec: cipher and file layer throughput beside memcpy of the same bytes.
add_executable(bench_codec codec/CodecBenchmark.cpp)
target_link_libraries(bench_codec PRIVATE quillon_codec benchmark::benchmark torvane_warnings)

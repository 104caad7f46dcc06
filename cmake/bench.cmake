# Micro-benchmarks of the hot paths: one tick of a busy game and one trace
# record. The headless program without --trace is the end-to-end measure.
if(KESTRADA_WITH_BENCH)
  find_package(benchmark REQUIRED)
  add_executable(kestrada_tick_bench ${CMAKE_SOURCE_DIR}/bench/tick_bench.cpp)
  target_link_libraries(kestrada_tick_bench PRIVATE kestrada_core benchmark::benchmark)
  set_target_properties(kestrada_tick_bench PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endif()

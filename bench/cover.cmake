gx_add_bench(gx_bench_cover ${CMAKE_CURRENT_LIST_DIR}/bench_cover.cpp)

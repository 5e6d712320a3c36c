gx_add_bench(gx_bench_view ${CMAKE_CURRENT_LIST_DIR}/bench_view.cpp)

gx_add_bench(gx_bench_handover ${CMAKE_CURRENT_LIST_DIR}/bench_handover.cpp)

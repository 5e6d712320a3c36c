gx_add_bench(gx_bench_jukebox ${CMAKE_CURRENT_LIST_DIR}/bench_jukebox.cpp)
gx_add_bench(gx_bench_settings ${CMAKE_CURRENT_LIST_DIR}/bench_settings.cpp)

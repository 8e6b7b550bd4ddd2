quenlira_bench(bench_render SOURCES ${PROJECT_SOURCE_DIR}/bench/render.cpp LIBS quenlira_render)

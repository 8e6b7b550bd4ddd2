# One A4 page of the atlas drawn as vectors through the page writer.
quenlira_bench(bench_page SOURCES ${PROJECT_SOURCE_DIR}/bench/page_bench.cpp
               LIBS quenlira_page quenlira_render)

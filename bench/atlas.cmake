# The star atlas: a full redraw at the size of a 1920-pixel screen's chart
# panel with every layer on, and picking under the pointer.
quenlira_bench(bench_atlas SOURCES ${PROJECT_SOURCE_DIR}/bench/atlas_bench.cpp LIBS quenlira_render)

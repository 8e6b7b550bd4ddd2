quenlira_bench(find_bench SOURCES ${PROJECT_SOURCE_DIR}/bench/find_bench.cpp LIBS quenlira_catalog)

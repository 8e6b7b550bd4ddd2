quenlira_bench(catalog_bench SOURCES ${PROJECT_SOURCE_DIR}/bench/catalog_bench.cpp LIBS quenlira_catalog)

quenlira_bench(minor_bench SOURCES ${PROJECT_SOURCE_DIR}/bench/minor_bench.cpp LIBS quenlira_minor)

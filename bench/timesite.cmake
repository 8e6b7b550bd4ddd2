# Horizon conversion, rise/set evaluation and calendar split.
quenlira_bench(horizon_bench SOURCES ${PROJECT_SOURCE_DIR}/bench/horizon_bench.cpp
               LIBS quenlira_astro)

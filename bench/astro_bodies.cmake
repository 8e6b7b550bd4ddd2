# The ten solar-system bodies for one instant and the Moon's iterated rise and
# set, next to ERFA computing the same apparent places.
find_library(ERFA_LIBRARY erfa)
quenlira_bench(bodies_bench SOURCES ${PROJECT_SOURCE_DIR}/bench/bodies_bench.cpp
               LIBS quenlira_astro ${ERFA_LIBRARY})

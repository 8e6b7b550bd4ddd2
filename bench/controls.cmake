# Sorting a full selection grid and painting the grid and the calendar clock.
if(TARGET quenlira_controls)
  quenlira_bench(controls_bench SOURCES ${PROJECT_SOURCE_DIR}/bench/controls_bench.cpp
                 LIBS quenlira_controls)
endif()

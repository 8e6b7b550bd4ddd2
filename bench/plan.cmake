# The night planner: the night's times, and the night with the whole list
# over the real catalogues, as the planner window works them out when the
# evening or the site changes.
if(TARGET quenlira_plan)
  quenlira_bench(plan_bench SOURCES ${PROJECT_SOURCE_DIR}/bench/plan_bench.cpp
                 LIBS quenlira_plan)
endif()

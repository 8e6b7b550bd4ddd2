# The chart window's full recomputation and one paint of the whole window.
if(TARGET quenlira_app)
  quenlira_bench(chartwindow_bench SOURCES ${PROJECT_SOURCE_DIR}/bench/chartwindow_bench.cpp
                 LIBS quenlira_app)
endif()

# Reading the user's option files: a full table of marked objects.
if(TARGET quenlira_app)
  quenlira_bench(options_bench SOURCES ${PROJECT_SOURCE_DIR}/bench/options_bench.cpp
                 LIBS quenlira_app)
endif()

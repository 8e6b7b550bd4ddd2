# The observing log: adding one entry (one committed transaction), and
# opening a log of 10,000 entries and reading them all.
if(TARGET quenlira_obslog)
  quenlira_bench(obslog_bench SOURCES ${PROJECT_SOURCE_DIR}/bench/obslog_bench.cpp
                 LIBS quenlira_obslog)
endif()

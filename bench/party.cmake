# A star-party receiver's chart window: what one Sync costs on the window's
# thread, whole and step by step.
if(TARGET quenlira_app)
  quenlira_bench(party_bench SOURCES ${PROJECT_SOURCE_DIR}/bench/party_bench.cpp LIBS quenlira_app)
endif()

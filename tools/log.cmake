# quenlira-log: the observing lists and log without a display, for backups
# and scripts.
if(TARGET quenlira_obslog)
  add_executable(quenlira-log ${CMAKE_CURRENT_LIST_DIR}/log/main.cpp)
  target_compile_definitions(quenlira-log PRIVATE QUENLIRA_VERSION="${PROJECT_VERSION}")
  target_link_libraries(quenlira-log PRIVATE quenlira_obslog)
endif()

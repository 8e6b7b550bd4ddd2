# quenlira-chart: chart export to PNG. Its option parser, the drawing and the window
# composition are a library of their own so that the tests can reach them.
add_library(quenlira_chartopts STATIC ${CMAKE_CURRENT_LIST_DIR}/chart/Chartoptions.cpp
            ${CMAKE_CURRENT_LIST_DIR}/chart/Chartwindow.cpp
            ${CMAKE_CURRENT_LIST_DIR}/chart/Chartrun.cpp)
target_include_directories(quenlira_chartopts PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(quenlira_chartopts PUBLIC quenlira_astro quenlira_catalog quenlira_render)
add_executable(quenlira-chart ${CMAKE_CURRENT_LIST_DIR}/chart/main.cpp)
target_link_libraries(quenlira-chart PRIVATE quenlira_chartopts quenlira_render quenlira_catalog)

# quenlira-chart: chart export to PNG, JPEG (libjpeg-turbo) and PDF (cairo). Its
# option parser, the drawing, the window composition and the writers are a
# library of their own so that the tests can reach them.
add_library(quenlira_chartopts STATIC ${CMAKE_CURRENT_LIST_DIR}/chart/Chartoptions.cpp
            ${CMAKE_CURRENT_LIST_DIR}/chart/Chartwindow.cpp
            ${CMAKE_CURRENT_LIST_DIR}/chart/Chartrun.cpp
            ${CMAKE_CURRENT_LIST_DIR}/chart/Chartpage.cpp
            ${CMAKE_CURRENT_LIST_DIR}/chart/Chartjpeg.cpp
            ${CMAKE_CURRENT_LIST_DIR}/chart/Chartfind.cpp
            ${CMAKE_CURRENT_LIST_DIR}/chart/Charttonight.cpp
            ${CMAKE_CURRENT_LIST_DIR}/chart/Chartwhere.cpp)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/chart/Chartoptions.cpp PROPERTIES
                            COMPILE_DEFINITIONS QUENLIRA_VERSION="${PROJECT_VERSION}")
target_include_directories(quenlira_chartopts PUBLIC ${PROJECT_SOURCE_DIR})
find_package(PkgConfig REQUIRED)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
find_package(JPEG REQUIRED)
target_link_libraries(quenlira_chartopts PUBLIC quenlira_minor quenlira_astro quenlira_catalog quenlira_render quenlira_page quenlira_finder
                      quenlira_settings quenlira_plan PkgConfig::CAIRO JPEG::JPEG)
add_executable(quenlira-chart ${CMAKE_CURRENT_LIST_DIR}/chart/main.cpp)
target_link_libraries(quenlira-chart PRIVATE quenlira_chartopts quenlira_render quenlira_catalog)

# quenlira-gallery: every custom control and the two small windows in one
# window, for looking at them (and for screenshots).
if(TARGET quenlira_controls AND TARGET quenlira_app)
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  add_executable(quenlira-gallery ${CMAKE_CURRENT_LIST_DIR}/gallery/main.cpp)
  target_link_libraries(quenlira-gallery PRIVATE quenlira_controls quenlira_app Qt6::Widgets)
endif()

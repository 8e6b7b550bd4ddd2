find_package(GTest REQUIRED)
include(GoogleTest)

# quenlira_test(<name> LABEL <label> SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable; every test case in it carries the label
# (unit, data, render, gui, e2e) so ctest -L can select them.
function(quenlira_test name)
  cmake_parse_arguments(QT "" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT QT_LABEL)
    set(QT_LABEL unit)
  endif()
  add_executable(${name} ${QT_SOURCES})
  target_link_libraries(${name} PRIVATE ${QT_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
    PROPERTIES LABELS ${QT_LABEL}
    DISCOVERY_TIMEOUT 60)
endfunction()

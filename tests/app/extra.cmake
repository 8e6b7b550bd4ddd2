# The chart window's read-out is checked against ERFA's horizon coordinates.
if(ERFA_LIBRARY)
  list(APPEND extra_libs ${ERFA_LIBRARY})
endif()
# The end-to-end test asks the chart window to close as a window manager would.
find_package(X11)
if(X11_FOUND)
  list(APPEND extra_libs X11::X11)
endif()

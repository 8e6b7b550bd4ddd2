# The chart window's read-out is checked against ERFA's horizon coordinates.
if(ERFA_LIBRARY)
  list(APPEND extra_libs ${ERFA_LIBRARY})
endif()

# The proper motions are checked against ERFA's eraStarpm.
if(ERFA_LIBRARY)
  list(APPEND extra_libs ${ERFA_LIBRARY})
endif()

# The night's times and best times are checked against ERFA (IAU SOFA).
if(ERFA_LIBRARY)
  list(APPEND extra_libs ${ERFA_LIBRARY})
endif()

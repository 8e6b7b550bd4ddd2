# The accuracy comparison uses ERFA (IAU SOFA routines) as an independent reference.
if(ERFA_LIBRARY)
  list(APPEND extra_libs ${ERFA_LIBRARY})
endif()

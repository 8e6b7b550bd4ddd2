# Places are checked against ERFA (IAU SOFA routines): the Earth, precession, nutation,
# aberration.
if(ERFA_LIBRARY)
  list(APPEND extra_libs ${ERFA_LIBRARY})
endif()

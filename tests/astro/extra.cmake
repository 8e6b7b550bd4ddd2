# The accuracy comparison uses ERFA (IAU SOFA routines) and the full VSOP87 of libnova as
# independent references.
if(ERFA_LIBRARY)
  list(APPEND extra_libs ${ERFA_LIBRARY})
endif()
find_library(NOVA_LIBRARY nova)
if(NOVA_LIBRARY)
  list(APPEND extra_libs ${NOVA_LIBRARY})
endif()

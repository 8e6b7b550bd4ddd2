# The planisphere tests check positions against ERFA; the export tool's option
# parser is tested here too.
list(APPEND extra_libs quenlira_chartopts)
if(ERFA_LIBRARY)
  list(APPEND extra_libs ${ERFA_LIBRARY})
endif()
# The full VSOP87 of libnova places the planets for the planisphere's check at far dates.
find_library(NOVA_LIBRARY nova)
if(NOVA_LIBRARY)
  list(APPEND extra_libs ${NOVA_LIBRARY})
endif()

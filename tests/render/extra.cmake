# The planisphere tests check positions against ERFA; the export tool's option
# parser is tested here too.
list(APPEND extra_libs quenlira_chartopts)
if(ERFA_LIBRARY)
  list(APPEND extra_libs ${ERFA_LIBRARY})
endif()

# The device tests also use the program's own precession from astro/.
list(APPEND extra_libs quenlira_astro)

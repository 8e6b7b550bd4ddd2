# The Debian package: `cpack -G DEB` in the build folder (or
# scripts/package_test.sh, which also checks, installs and removes it) makes
# quenlira_<version>_amd64.deb from the install rules, with /usr as prefix,
# stripped programs and the dependencies dpkg-shlibdeps finds.

# Manual pages and the changelog compressed as Debian installs them, without
# a time stamp so that two builds give the same bytes.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(quenlira_gz_dir ${CMAKE_BINARY_DIR}/gz)
set(quenlira_gz "")
foreach(src docs/man/quenlira.1 docs/man/quenlira-chart.1 docs/man/quenlira-log.1 data/changelog)
  get_filename_component(name ${src} NAME)
  add_custom_command(
    OUTPUT ${quenlira_gz_dir}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${quenlira_gz_dir}
    COMMAND ${GZIP_PROGRAM} -9nc ${PROJECT_SOURCE_DIR}/${src} > ${quenlira_gz_dir}/${name}.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/${src}
    VERBATIM)
  list(APPEND quenlira_gz ${quenlira_gz_dir}/${name}.gz)
endforeach()
add_custom_target(quenlira_compressed_docs ALL DEPENDS ${quenlira_gz})

install(FILES ${quenlira_gz_dir}/quenlira.1.gz ${quenlira_gz_dir}/quenlira-chart.1.gz
              ${quenlira_gz_dir}/quenlira-log.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${quenlira_gz_dir}/changelog.gz data/copyright data/CC-BY-SA-4.0.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quenlira)
install(FILES data/io.github.quenlira.Quenlira.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quenlira)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quenlira developers <quenlira@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "planisphere and star atlas for amateur astronomers")
# The long description; CPack puts the summary above it as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quenlira computes the Sun, the Moon, the planets and Jupiter's four large
moons for an observing site and a moment, and draws a round planisphere of
the sky above the horizon beside a zoomable star atlas with stars,
constellations, the Milky Way and Messier, NGC and IC objects.

It keeps up to 100 observing sites and ten view memories, gives
setting-circle readings for pointing a telescope by hand, and saves or
prints its charts. The command quenlira-chart draws the same charts as PNG,
JPEG or PDF without a display.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Found through Fontconfig at run time, so no library names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_FILE_NAME quenlira_${PROJECT_VERSION}_amd64)
include(CPack)

# Build, check, install, run and remove the package (root only; skipped
# otherwise). One at a time: it installs into /usr.
add_test(NAME package_deb COMMAND ${PROJECT_SOURCE_DIR}/scripts/package_test.sh ${CMAKE_BINARY_DIR})
set_tests_properties(package_deb PROPERTIES LABELS package TIMEOUT 1200 SKIP_RETURN_CODE 77
                                            RUN_SERIAL TRUE)

# cindral(1) and cindral-cli(1), built from docs/man/*.1.in with README.md's "Command line"
# block as cindral-cli's synopsis (cmake/ManPage.cmake), compressed as Debian wants them
# (gzip -9n: no name, no time stamp) and installed under share/man/man1.
find_program(CINDRAL_GZIP gzip REQUIRED)
set(man_dir ${CMAKE_BINARY_DIR}/man)
set(man_pages)
foreach(page cindral cindral-cli)
  set(template ${PROJECT_SOURCE_DIR}/docs/man/${page}.1.in)
  add_custom_command(OUTPUT ${man_dir}/${page}.1 ${man_dir}/${page}.1.gz
    COMMAND ${CMAKE_COMMAND} -DREADME=${PROJECT_SOURCE_DIR}/README.md -DTEMPLATE=${template}
            -DOUT=${man_dir}/${page}.1 -DVERSION=${CINDRAL_VERSION}
            -DDATADIR=${CMAKE_INSTALL_FULL_DATADIR}/cindral
            -DDOCDIR=${CMAKE_INSTALL_FULL_DATADIR}/doc/cindral
            -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
    COMMAND ${CINDRAL_GZIP} -9nf -k ${man_dir}/${page}.1
    DEPENDS ${template} ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
    COMMENT "Writing the manual page ${page}(1)")
  list(APPEND man_pages ${man_dir}/${page}.1.gz)
  install(FILES ${man_dir}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(cindral_man_pages ALL DEPENDS ${man_pages})

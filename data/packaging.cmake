# What the Debian package carries beside the program, in share/doc/cindral/: the copyright
# file and the changelog (gzip -9n, as Debian policy asks; the package is native, so the
# file is changelog.gz). Its newest entry is the program's version (a test compares them).
find_program(CINDRAL_GZIP gzip REQUIRED)
set(changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/packaging/changelog
          ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog
  COMMAND ${CINDRAL_GZIP} -9nf ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/packaging/changelog
  COMMENT "Compressing the package's changelog")
add_custom_target(cindral_changelog ALL DEPENDS ${changelog_gz})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/packaging/copyright ${changelog_gz}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/cindral)

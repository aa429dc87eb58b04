# The default pattern and symbol libraries: compiled at build time from the text sources in
# data/libraries/ and placed beside the binaries, where the program looks for its own copies.
add_executable(cindral_library_compiler ${CMAKE_CURRENT_LIST_DIR}/library_compiler/main.cpp)
target_link_libraries(cindral_library_compiler PRIVATE cindral_core)
set_target_properties(cindral_library_compiler PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
set(CINDRAL_PATTERN_LIBRARY ${CINDRAL_BIN_DIR}/QuenUtil.Pat)
set(CINDRAL_SYMBOL_LIBRARY ${CINDRAL_BIN_DIR}/QuenUtil.Sym)
set(CINDRAL_PATTERN_SOURCE ${CMAKE_CURRENT_LIST_DIR}/libraries/patterns.txt)
set(CINDRAL_SYMBOL_SOURCE ${CMAKE_CURRENT_LIST_DIR}/libraries/symbols.txt)
add_custom_command(OUTPUT ${CINDRAL_PATTERN_LIBRARY}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CINDRAL_BIN_DIR}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:cindral_library_compiler> patterns ${CINDRAL_PATTERN_SOURCE}
          ${CINDRAL_PATTERN_LIBRARY}
  DEPENDS cindral_library_compiler ${CINDRAL_PATTERN_SOURCE}
  COMMENT "Compiling the default pattern library")
add_custom_command(OUTPUT ${CINDRAL_SYMBOL_LIBRARY}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CINDRAL_BIN_DIR}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:cindral_library_compiler> symbols ${CINDRAL_SYMBOL_SOURCE}
          ${CINDRAL_SYMBOL_LIBRARY}
  DEPENDS cindral_library_compiler ${CINDRAL_SYMBOL_SOURCE}
  COMMENT "Compiling the default symbol library")
add_custom_target(cindral_libraries ALL
  DEPENDS ${CINDRAL_PATTERN_LIBRARY} ${CINDRAL_SYMBOL_LIBRARY})
add_dependencies(cindral_data cindral_libraries)
# The pattern source goes beside its library so catalogue sheets can name each pattern.
configure_file(${CINDRAL_PATTERN_SOURCE} ${CINDRAL_BIN_DIR}/QuenUtil.Pat.txt COPYONLY)
install(FILES ${CINDRAL_PATTERN_LIBRARY} ${CINDRAL_SYMBOL_LIBRARY} ${CINDRAL_BIN_DIR}/QuenUtil.Pat.txt
        DESTINATION ${CINDRAL_DATA_INSTALL_DIR})

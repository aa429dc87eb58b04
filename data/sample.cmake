# The bundled sample log: a generator program writes bin/samples/sample.gdx at build time.
# data/samples/sample.gdx is a committed copy of the same bytes, for runs without a build.
add_executable(cindral_sample_generator ${CMAKE_CURRENT_LIST_DIR}/sample_generator/main.cpp)
target_link_libraries(cindral_sample_generator PRIVATE cindral_core)
set_target_properties(cindral_sample_generator PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
set(CINDRAL_SAMPLE ${CINDRAL_BIN_DIR}/samples/sample.gdx)
add_custom_command(OUTPUT ${CINDRAL_SAMPLE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CINDRAL_BIN_DIR}/samples
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:cindral_sample_generator> ${CINDRAL_SAMPLE}
  DEPENDS cindral_sample_generator
  COMMENT "Writing the sample log")
add_custom_target(cindral_sample ALL DEPENDS ${CINDRAL_SAMPLE})
add_dependencies(cindral_data cindral_sample)
install(FILES ${CINDRAL_SAMPLE} DESTINATION ${CINDRAL_DATA_INSTALL_DIR}/samples)

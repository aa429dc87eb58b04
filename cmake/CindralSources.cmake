# Each layer folder compiles every source file it holds, its sub-folders included, so adding
# a file needs no edit here.
function(cindral_sources out dir)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# One GoogleTest executable per test folder; each test case becomes a CTest test.
# Extra arguments are the libraries it links.
function(cindral_gtest name dir)
  file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT found)
    return()
  endif()
  add_executable(${name} ${found})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock)
  # A folder whose tests need a QApplication brings its own main.cpp.
  if(NOT EXISTS ${dir}/main.cpp)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  # Tests read the data files beside the binaries (tables, libraries, the sample).
  add_dependencies(${name} cindral_data)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DISCOVERY_TIMEOUT 60)
  # The test environment is set after discovery: a list handed to PROPERTIES would be split
  # at its semicolons and only the first variable would reach the tests.
  set(env_script ${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake)
  file(WRITE ${env_script}
    "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT "
    "\"QT_QPA_PLATFORM=offscreen;CINDRAL_SOURCE_DIR=${PROJECT_SOURCE_DIR};CINDRAL_BIN_DIR=${CINDRAL_BIN_DIR}\")\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${env_script})
endfunction()

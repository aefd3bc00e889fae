# Test helpers shared by both builds.
#
#   quorvane_core_test(NAME src...)   platform-neutral tests: natively, each
#                                     GoogleTest case is its own CTest entry;
#                                     in the Windows build the same executable
#                                     runs once under Wine.
#   quorvane_wine_test(NAME src... [LIBS lib...])
#                                     Windows-only tests, run under Wine.

if(NOT WIN32)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

function(quorvane_core_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE quorvane_core GTest::gtest_main)
  if(WIN32)
    quorvane_register_wine_test(${name})
  else()
    gtest_discover_tests(${name} TEST_PREFIX "native." DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

function(quorvane_wine_test name)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} quorvane_core GTest::gtest_main)
  quorvane_register_wine_test(${name})
endfunction()

function(quorvane_register_wine_test name)
  add_test(NAME wine.${name}
           COMMAND ${QUORVANE_WINE_RUN} $<TARGET_FILE:${name}>
                   --gtest_output=xml:${CMAKE_BINARY_DIR}/test-results/${name}.xml)
  set_tests_properties(wine.${name} PROPERTIES
    ENVIRONMENT "QUORVANE_BUILD_DIR=${CMAKE_BINARY_DIR};QUORVANE_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    TIMEOUT 300)
endfunction()

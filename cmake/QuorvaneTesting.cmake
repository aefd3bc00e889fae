# Test helpers shared by both builds.
#
#   quorvane_core_test(NAME src...)   platform-neutral tests: natively, each
#                                     GoogleTest case is its own CTest entry;
#                                     in the Windows build the same executable
#                                     runs once under Wine.
#   quorvane_wine_test(NAME src... [SERVED] [TIMEOUT s] [LIBS lib...])
#                                     Windows-only tests, run under Wine;
#                                     SERVED ones with the local feed server
#                                     up (tests/support/feed_server.py).

set(QUORVANE_WITH_FEED_SERVER ${CMAKE_SOURCE_DIR}/tests/support/with_feed_server.sh)

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
  cmake_parse_arguments(ARG "SERVED" "TIMEOUT" "LIBS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} quorvane_core GTest::gtest_main)
  set(launcher ${QUORVANE_WINE_RUN})
  if(ARG_SERVED)
    target_link_libraries(${name} PRIVATE quorvane_feed_server_client)
    set(launcher ${QUORVANE_WITH_FEED_SERVER} ${QUORVANE_WINE_RUN})
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  quorvane_register_wine_test(${name} ${ARG_TIMEOUT} ${launcher})
endfunction()

# quorvane_register_wine_test(NAME [TIMEOUT LAUNCHER...]): runs the test
# executable NAME through LAUNCHER (default the Wine runner).
function(quorvane_register_wine_test name)
  set(timeout 300)
  set(launcher ${QUORVANE_WINE_RUN})
  if(ARGC GREATER 1)
    set(timeout ${ARGV1})
    list(SUBLIST ARGN 1 -1 launcher)
  endif()
  add_test(NAME wine.${name}
           COMMAND ${launcher} $<TARGET_FILE:${name}>
                   --gtest_output=xml:${CMAKE_BINARY_DIR}/test-results/${name}.xml)
  set_tests_properties(wine.${name} PROPERTIES
    ENVIRONMENT "QUORVANE_BUILD_DIR=${CMAKE_BINARY_DIR};QUORVANE_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    TIMEOUT ${timeout})
endfunction()

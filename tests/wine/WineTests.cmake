# Registers Windows test programs in the Wine sessions of tests/wine/session.sh.
# Suites named Scaled* run in the default session and again in the scaled one (they must
# hold at 96 and at 144 DPI); suites named TwoMonitors* run only in the two-monitor one.
# Every Wine test takes one lock: one test at a time on the machine's Wine sessions.

# The keeper that holds a session's desktop open, where every session of this build finds it.
add_executable(desktop_keeper WIN32 ${CMAKE_CURRENT_LIST_DIR}/desktop-keeper.c)
cmake_path(GET KADRIX_DESKTOP_KEEPER PARENT_PATH keeper_dir)
cmake_path(GET KADRIX_DESKTOP_KEEPER STEM keeper_name)
set_target_properties(desktop_keeper PROPERTIES OUTPUT_NAME ${keeper_name} RUNTIME_OUTPUT_DIRECTORY ${keeper_dir})
set(KADRIX_SESSION_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/session.sh)

# A test that starts or stops a session itself: it holds the desktop lock and knows the keeper.
function(kadrix_session_test name)
  add_test(NAME ${name} COMMAND ${ARGN})
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine_desktop
    ENVIRONMENT KADRIX_DESKTOP_KEEPER=${KADRIX_DESKTOP_KEEPER})
endfunction()

# The session of each shape is a fixture: started before its first test, stopped after its last.
function(kadrix_wine_session kind)
  set(dir ${KADRIX_WINE_SESSION})
  set(fixture wine_session)
  if(NOT kind STREQUAL "default")
    string(APPEND dir "-${kind}")
    string(APPEND fixture "_${kind}")
  endif()
  kadrix_session_test(${fixture}_start ${KADRIX_SESSION_SCRIPT} start ${dir})
  kadrix_session_test(${fixture}_stop ${KADRIX_SESSION_SCRIPT} stop ${dir})
  set_tests_properties(${fixture}_start PROPERTIES FIXTURES_SETUP ${fixture})
  set_tests_properties(${fixture}_stop PROPERTIES FIXTURES_CLEANUP ${fixture})
  set_property(TEST ${fixture}_start ${fixture}_stop APPEND PROPERTY ENVIRONMENT KADRIX_SESSION=${kind})
  if(NOT kind STREQUAL "default")
    # ctest lists every program's tests in the default session, which must be stopped too.
    set_tests_properties(${fixture}_start PROPERTIES FIXTURES_REQUIRED wine_session)
  endif()
endfunction()

foreach(kind default scaled twomonitors)
  kadrix_wine_session(${kind})
endforeach()

# What a run leaves in its session (a program, the registry, a file) is gone when the
# next one starts; a session that only listings used is kept. A session of its own.
kadrix_session_test(wine_session_is_fresh_each_run ${CMAKE_CURRENT_LIST_DIR}/fresh_session_test.sh
  ${KADRIX_SESSION_SCRIPT} ${KADRIX_WINE_SESSION}-fresh $<TARGET_FILE:win_tests>)

# One core kept busy from outside Wine while the tests that require this fixture run.
set(busy_core_pidfile ${CMAKE_BINARY_DIR}/busy-core/pgid)
add_test(NAME busy_core_start COMMAND ${CMAKE_CURRENT_LIST_DIR}/busy-core.sh start ${busy_core_pidfile})
add_test(NAME busy_core_stop COMMAND ${CMAKE_CURRENT_LIST_DIR}/busy-core.sh stop ${busy_core_pidfile})
set_tests_properties(busy_core_start PROPERTIES FIXTURES_SETUP busy_core)
set_tests_properties(busy_core_stop PROPERTIES FIXTURES_CLEANUP busy_core)

# kadrix_wine_tests(TARGET [SESSION kind] [FILTER gtest-filter] [PREFIX test-name-prefix]
#                   [ARGS extra-arguments...] [TIMEOUT seconds] [FIXTURES more-fixtures...])
function(kadrix_wine_tests target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "SESSION;FILTER;PREFIX;TIMEOUT" "ARGS;FIXTURES")
  if(NOT arg_SESSION)
    set(arg_SESSION default)
  endif()
  set(fixture wine_session)
  if(NOT arg_SESSION STREQUAL "default")
    string(APPEND fixture "_${arg_SESSION}")
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  string(MAKE_C_IDENTIFIER "${target}_${arg_SESSION}_${arg_PREFIX}tests" listed)
  # Listing may have to start the default session first.
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    TEST_FILTER "${arg_FILTER}" TEST_PREFIX "${arg_PREFIX}" EXTRA_ARGS ${arg_ARGS} TEST_LIST ${listed}
    PROPERTIES FIXTURES_REQUIRED ${fixture} RESOURCE_LOCK wine_desktop
               ENVIRONMENT KADRIX_SESSION=${arg_SESSION} TIMEOUT ${arg_TIMEOUT})
  if(arg_FIXTURES)
    # Set once the tests are listed: the listing would split a list of fixtures given above.
    set(more ${CMAKE_CURRENT_BINARY_DIR}/${listed}_fixtures.cmake)
    file(WRITE ${more} "set_tests_properties(\${${listed}} PROPERTIES FIXTURES_REQUIRED \"${fixture};${arg_FIXTURES}\")\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${more})
  endif()
endfunction()

# A program's tests in every session by their suite names; the options go to each registration.
function(kadrix_wine_test_program target)
  kadrix_wine_tests(${target} FILTER "-TwoMonitors*" ${ARGN})
  kadrix_wine_tests(${target} SESSION scaled FILTER "Scaled*" PREFIX "scaled." ${ARGN})
  kadrix_wine_tests(${target} SESSION twomonitors FILTER "TwoMonitors*" ${ARGN})
endfunction()

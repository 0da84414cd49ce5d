# Helpers shared by the project's CMake files.

# pellorin_add_test(<name> LABEL <area> SOURCES <files...> [LIBS <libs...>] [TIMEOUT <s>] [DESKTOP])
# One GoogleTest executable, run whole by ctest under Wine with the build's prefix.
# DESKTOP: the tests move the mouse, take the focus or run modal loops. The pointer, the focus and
# the foreground window belong to the one X display that every test process shares, so two such
# executables at once steal them from each other (failed hover checks, modal loops waiting for a
# window that lost its focus); they take turns, while the other tests run beside them.
function(pellorin_add_test name)
  cmake_parse_arguments(T "DESKTOP" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    message(FATAL_ERROR "pellorin_add_test(${name}): LABEL is required")
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES
    LABELS "${T_LABEL}"
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=\\;winedbg.exe=d;PELLORIN_FIXTURES=${PROJECT_SOURCE_DIR}/tests/fixtures")
  if(T_DESKTOP)
    set_property(TEST ${name} APPEND PROPERTY RESOURCE_LOCK desktop)
  endif()
endfunction()

# pellorin_add_bench(<name> SOURCES <files...> [LIBS <libs...>])
function(pellorin_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} EXCLUDE_FROM_ALL ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS})
  # The benchmarks' shared helpers (generated pictures).
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/bench)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  add_dependencies(bench ${name})
endfunction()

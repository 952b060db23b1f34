# mirunea_add_plain_test(NAME SOURCES ... LIBS ...): a doctest program of the
# plain C++ layers, built and run the same way by the Linux and the Windows
# build; tests/CMakeLists.txt sets MIRUNEA_PLAIN_TEST_ENV (CTest environment
# modifications), MIRUNEA_PLAIN_TEST_FIXTURES and MIRUNEA_PLAIN_TEST_LABELS.
function(mirunea_add_plain_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} mirunea_doctest_main)
  target_precompile_headers(${name} REUSE_FROM mirunea_doctest_pch)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT 120 LABELS "unit;${MIRUNEA_PLAIN_TEST_LABELS}"
    ENVIRONMENT_MODIFICATION "${MIRUNEA_PLAIN_TEST_ENV}")
  if(MIRUNEA_PLAIN_TEST_FIXTURES)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${MIRUNEA_PLAIN_TEST_FIXTURES}")
  endif()
endfunction()

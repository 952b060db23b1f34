# The Qt Test programs of the Qt backend (tests/sheet): mirunea_add_test, and Qt's headers parsed
# once for all of them.

# Without the shared header each program's source spends most of its compile time in Qt's headers.
# The holder is an executable linked like the tests, so that its flags (-fPIE, Qt's macros) match
# theirs; Qt Test stays out: it defines a macro per test folder, which would void the shared header
# for every folder but one.
add_executable(mirunea_qt_test_pch ${PROJECT_SOURCE_DIR}/tests/support/qt_test_pch.cpp)
target_link_libraries(mirunea_qt_test_pch PRIVATE Qt6::Widgets)
include(${PROJECT_SOURCE_DIR}/cmake/qt_precompiled_headers.cmake)
target_precompile_headers(mirunea_qt_test_pch PRIVATE ${MIRUNEA_QT_PRECOMPILED_HEADERS})

# mirunea_add_test(NAME SOURCES ... LIBS ... [LABEL kind] [ENV ...]): one Qt Test
# executable per behaviour area, run by CTest in a fixed environment. The label
# says its kind: unit (the default) or gui (a window under the offscreen platform).
function(mirunea_add_test name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS;ENV" ${ARGN})
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Widgets Qt6::Test)
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_precompile_headers(${name} REUSE_FROM mirunea_qt_test_pch)
  target_compile_definitions(${name} PRIVATE
    MIRUNEA_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
    MIRUNEA_BUILD_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT 300
    LABELS ${T_LABEL}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LANG=C.UTF-8;TZ=UTC;QT_LOGGING_RULES=qt.qpa.*=false;${T_ENV}")
endfunction()

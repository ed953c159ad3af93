# Helpers that keep every folder's CMakeLists to one or two lines.
# Sources are globbed, so adding a file needs no CMake edit.

set(ORV_PCH_HEADERS
  <QtCore/QString> <QtCore/QStringList> <QtCore/QList> <QtCore/QHash>
  <QtCore/QByteArray> <QtCore/QVariant> <vector> <memory> <functional> <string>)

# Two precompiled headers, one for the libraries and one (with GoogleTest) for the test
# programs: building one per target cost more than all the project's own code on a two-core
# machine. Targets that add defines of their own (Widgets) still use them: those defines do
# not reach the headers inside.
add_compile_options(-Winvalid-pch)
add_library(orv_pch STATIC ${CMAKE_CURRENT_LIST_DIR}/pch_anchor.cpp)
target_link_libraries(orv_pch PRIVATE Qt6::Core)
target_precompile_headers(orv_pch PRIVATE ${ORV_PCH_HEADERS})
add_library(orv_test_pch STATIC ${CMAKE_CURRENT_LIST_DIR}/pch_anchor.cpp)
target_link_libraries(orv_test_pch PRIVATE Qt6::Core GTest::gtest)
target_precompile_headers(orv_test_pch PRIVATE ${ORV_PCH_HEADERS} <gtest/gtest.h>)

# orv_library(NAME DIRS dir... DEPS target...)
# One static library from every .cpp under the given folders (recursively).
function(orv_library name)
  cmake_parse_arguments(A "" "" "DIRS;DEPS" ${ARGN})
  set(srcs)
  foreach(d IN LISTS A_DIRS)
    file(GLOB_RECURSE s CONFIGURE_DEPENDS ${d}/*.cpp)
    list(APPEND srcs ${s})
  endforeach()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${A_DEPS})
  target_precompile_headers(${name} REUSE_FROM orv_pch)
endfunction()

# orv_test(NAME LIBS target... [WIDGETS] [DATABASE])
# WIDGETS programs bring their own main (one that creates a QApplication).
# One GoogleTest program from the .cpp files of the calling folder; one CTest entry.
# DATABASE tests get the private PostgreSQL cluster of the test run (see scripts/test).
function(orv_test name)
  cmake_parse_arguments(A "WIDGETS;DATABASE" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${srcs})
  if(NOT A_WIDGETS)
    target_link_libraries(${name} PRIVATE orv_test_main)
  endif()
  target_link_libraries(${name} PRIVATE ${A_LIBS} orv_test_support GTest::gtest)
  target_precompile_headers(${name} REUSE_FROM orv_test_pch)
  add_test(NAME ${name} COMMAND ${name})
  set(env "ORV_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}/data")
  if(A_WIDGETS)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 600)
  if(A_DATABASE)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED orv_pg)
    list(APPEND env "ORV_PG_HOST=${ORV_PG_DIR}" "ORV_PG_USER=orv" "ORV_PG_DATABASE=orv_test")
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}")
  endif()
endfunction()

# orv_bench(NAME LIBS target...): a Google Benchmark program from the calling folder.
function(orv_bench name)
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${A_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

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

# orv_library(NAME [DEPS target...] [NO_SOURCES])
# One static library from the .cpp files of the calling folder and its subfolders, except
# subfolders with a CMakeLists.txt of their own (those add themselves). NO_SOURCES declares a
# library whose sources come from subfolders that call orv_sources.
function(orv_library name)
  cmake_parse_arguments(A "NO_SOURCES" "" "DEPS" ${ARGN})
  set(srcs)
  if(NOT A_NO_SOURCES)
    orv_folder_sources(srcs)
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${A_DEPS})
  target_precompile_headers(${name} REUSE_FROM orv_pch)
endfunction()

# orv_sources(TARGET): adds the calling folder's sources (as orv_library picks them) to a
# library declared in a parent folder.
function(orv_sources target)
  orv_folder_sources(srcs)
  target_sources(${target} PRIVATE ${srcs})
endfunction()

function(orv_folder_sources out)
  set(here ${CMAKE_CURRENT_SOURCE_DIR})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${here}/*.cpp)
  file(GLOB_RECURSE lists CONFIGURE_DEPENDS ${here}/*/CMakeLists.txt)
  foreach(l IN LISTS lists)
    get_filename_component(d ${l} DIRECTORY)
    list(FILTER srcs EXCLUDE REGEX "^${d}/")
  endforeach()
  set(${out} ${srcs} PARENT_SCOPE)
endfunction()

# orv_test(NAME LIBS target... [WIDGETS] [DATABASE] [DEMO])
# WIDGETS programs bring their own main (one that creates a QApplication).
# One GoogleTest program from the .cpp files of the calling folder; one CTest entry.
# DATABASE tests get the private PostgreSQL cluster of the test run (see scripts/test), as its
# superuser; DEMO tests also get the demo installation loaded there (tests/support/demo_db.h).
function(orv_test name)
  cmake_parse_arguments(A "WIDGETS;DATABASE;DEMO" "" "LIBS" ${ARGN})
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
  if(A_DATABASE OR A_DEMO)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED orv_pg)
    list(APPEND env "ORV_PG_HOST=${ORV_PG_DIR}" "ORV_PG_USER=postgres" "ORV_PG_DATABASE=orv_test")
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}")
  endif()
  if(A_DEMO)
    target_link_libraries(${name} PRIVATE orv_test_demo)
    list(APPEND env "ORV_PG_TEMPLATE=orvdemo" "ORV_DEMO_SOURCE=${PROJECT_SOURCE_DIR}/demo")
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "orv_pg;orv_demo" ENVIRONMENT "${env}")
  endif()
endfunction()

# orv_bench(NAME LIBS target...): a Google Benchmark program from the calling folder.
function(orv_bench name)
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${A_LIBS} benchmark::benchmark benchmark::benchmark_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/bench)
endfunction()

# orv_check_tree(): every CMakeLists.txt below the top folder must be listed by its parent and
# every .cpp under src/ must be built by some target. Folders are listed by hand, so a folder
# someone forgot would otherwise drop its code or its tests without a word.
function(orv_check_tree)
  set(seen)
  set(todo ${PROJECT_SOURCE_DIR})
  set(built)
  while(todo)
    list(POP_FRONT todo d)
    list(APPEND seen ${d})
    get_directory_property(subs DIRECTORY ${d} SUBDIRECTORIES)
    list(APPEND todo ${subs})
    get_directory_property(targets DIRECTORY ${d} BUILDSYSTEM_TARGETS)
    foreach(t IN LISTS targets)
      get_target_property(srcs ${t} SOURCES)
      if(srcs)
        foreach(s IN LISTS srcs)
          if(NOT IS_ABSOLUTE ${s})
            set(s ${d}/${s})
          endif()
          list(APPEND built ${s})
        endforeach()
      endif()
    endforeach()
  endwhile()
  file(GLOB tops LIST_DIRECTORIES true ${PROJECT_SOURCE_DIR}/*)
  list(FILTER tops EXCLUDE REGEX "/(build[^/]*|\\.[^/]*)$")
  set(lists)
  foreach(t IN LISTS tops)
    if(IS_DIRECTORY ${t})
      file(GLOB_RECURSE l CONFIGURE_DEPENDS ${t}/CMakeLists.txt)
      list(APPEND lists ${l})
    endif()
  endforeach()
  foreach(l IN LISTS lists)
    get_filename_component(d ${l} DIRECTORY)
    if(NOT d IN_LIST seen)
      file(RELATIVE_PATH r ${PROJECT_SOURCE_DIR} ${d})
      message(FATAL_ERROR "${r}/CMakeLists.txt is not listed by an add_subdirectory in its parent")
    endif()
  endforeach()
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.cpp)
  foreach(s IN LISTS srcs)
    if(NOT s IN_LIST built)
      file(RELATIVE_PATH r ${PROJECT_SOURCE_DIR} ${s})
      message(FATAL_ERROR "${r} is built by no target: give its folder a CMakeLists.txt")
    endif()
  endforeach()
endfunction()

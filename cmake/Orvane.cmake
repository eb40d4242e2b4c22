# Helpers shared by every folder of the build.

# Warnings for our own code only.
function(orvane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# orvane_library(name SOURCES ... [LIBS ...] [QT])
# A static library of the program. Without QT it must not include Qt: the core
# (seismogram files, calendar, tables, location, projection) stays plain C++.
function(orvane_library name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
  orvane_warnings(${name})
endfunction()

# add_unit_test(name SOURCES ... [LIBS ...] [LABELS ...] [GUI])
# One gtest executable registered with CTest, labelled "unit" or, with GUI,
# "gui". Every test runs with its own HOME, XDG directories and working
# directory (tests/support/IsolatedEnvironment.h). GUI tests get a
# QApplication on the offscreen platform through tests/support/GuiTestMain.cpp;
# the others link no Qt at all.
function(add_unit_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  if(ARG_GUI)
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/GuiTestMain.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest Qt6::Widgets Qt6::Test)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  else()
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/TestMain.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest)
  endif()
  orvane_warnings(${name})
  set(labels ${ARG_LABELS})
  if(NOT labels)
    if(ARG_GUI)
      set(labels gui)
    else()
      set(labels unit)
    endif()
  endif()
  # Tests labelled "thread" are also what the ThreadSanitizer build runs:
  # the target thread_tests builds them alone.
  if("thread" IN_LIST labels)
    if(NOT TARGET thread_tests)
      add_custom_target(thread_tests)
    endif()
    add_dependencies(thread_tests ${name})
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS "${labels}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ORVANE_DATA=${CMAKE_SOURCE_DIR}/data"
    DISCOVERY_TIMEOUT 60)
endfunction()

# orvane_fuzzer(name SOURCES ... LIBS ...)
# A libFuzzer target, and a CTest entry that runs it for ORVANE_FUZZ_SECONDS
# on a scratch corpus seeded from fuzz/corpus/<name> when that exists.
set(ORVANE_FUZZ_SECONDS 30 CACHE STRING "Seconds each fuzzer runs under CTest")
function(orvane_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/corpus/${name})
  set(seeds ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -E env ORVANE_DATA=${CMAKE_SOURCE_DIR}/data
            sh -c "mkdir -p '${corpus}' && exec \"$0\" -max_total_time=${ORVANE_FUZZ_SECONDS} -rss_limit_mb=2048 -print_final_stats=1 '${corpus}' $(test -d '${seeds}' && echo '${seeds}')"
            $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 600)
endfunction()

# orvane_benchmark(name SOURCES ... LIBS ...)
function(orvane_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  orvane_warnings(${name})
endfunction()

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
    set_target_properties(${name} PROPERTIES AUTOMOC ON ORVANE_QT ON)
  endif()
  orvane_warnings(${name})
  set_property(GLOBAL APPEND PROPERTY ORVANE_LIBRARIES ${name})
endfunction()

# orvane_links_qt(target result): whether @target links Qt, directly or
# through any library it links (QT flag or not: a Qt6:: library in LIBS
# counts as well).
function(orvane_links_qt target result)
  get_property(known GLOBAL PROPERTY ORVANE_LINKS_QT_${target} SET)
  if(known)
    get_property(qt GLOBAL PROPERTY ORVANE_LINKS_QT_${target})
    set(${result} ${qt} PARENT_SCOPE)
    return()
  endif()
  # Taken for plain while its libraries are looked at, so that a cycle ends.
  set_property(GLOBAL PROPERTY ORVANE_LINKS_QT_${target} OFF)
  get_target_property(qt ${target} ORVANE_QT)
  if(NOT qt)
    set(qt OFF)
  endif()
  get_target_property(imported ${target} IMPORTED)
  set(links)
  if(NOT imported)
    get_target_property(links ${target} LINK_LIBRARIES)
  endif()
  get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
  foreach(item IN LISTS links interface)
    if(item MATCHES "(^|[<:,])Qt[0-9]*::")
      set(qt ON)
      break()
    endif()
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" item "${item}")
    if(TARGET "${item}")
      orvane_links_qt("${item}" inner)
      if(inner)
        set(qt ON)
        break()
      endif()
    endif()
  endforeach()
  set_property(GLOBAL PROPERTY ORVANE_LINKS_QT_${target} ${qt})
  set(${result} ${qt} PARENT_SCOPE)
endfunction()

# orvane_write_layer_sources(file): writes, for the layering test, every
# source of every orvane_library as "plain PATH" (the library links no Qt)
# or "qt PATH", PATH relative to the source root. Called once every library
# is defined.
function(orvane_write_layer_sources file)
  get_property(libraries GLOBAL PROPERTY ORVANE_LIBRARIES)
  set(text "# The sources of the libraries, and whether each library links Qt (written by CMake).\n")
  foreach(library IN LISTS libraries)
    orvane_links_qt(${library} qt)
    if(qt)
      set(kind qt)
    else()
      set(kind plain)
    endif()
    get_target_property(sources ${library} SOURCES)
    get_target_property(dir ${library} SOURCE_DIR)
    foreach(source IN LISTS sources)
      if(source MATCHES "\\$<")
        continue()
      endif()
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY "${dir}" NORMALIZE OUTPUT_VARIABLE absolute)
      cmake_path(IS_PREFIX CMAKE_SOURCE_DIR "${absolute}" NORMALIZE inSources)
      cmake_path(IS_PREFIX CMAKE_BINARY_DIR "${absolute}" NORMALIZE inBuild)
      if(inSources AND NOT inBuild)
        file(RELATIVE_PATH relative "${CMAKE_SOURCE_DIR}" "${absolute}")
        string(APPEND text "${kind} ${relative}\n")
      endif()
    endforeach()
  endforeach()
  file(WRITE "${file}" "${text}")
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

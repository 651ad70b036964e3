# Helpers shared by the subdirectories.

# zun_program(<target> [SHARED_RUNTIME] <sources...>): a program that lands in
# stage/bin. A build starts the tools many times over, and loading the shared
# C++ runtime is most of a start, so programs carry the C++ and GCC runtime
# libraries linked in; SHARED_RUNTIME keeps them shared, for a program that
# loads libraries that use the shared runtime themselves (Qt, tovrel).
function(zun_program target)
  cmake_parse_arguments(ARG "SHARED_RUNTIME" "" "" ${ARGN})
  add_executable(${target} ${ARG_UNPARSED_ARGUMENTS})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ZUN_STAGE_BIN})
  add_dependencies(${target} stage_data_dirs)
  if(NOT ARG_SHARED_RUNTIME)
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc)
  endif()
endfunction()

# zun_shared_library(<target> <sources...>): a shared library that lands in stage/bin
# beside the programs that load it.
function(zun_shared_library target)
  add_library(${target} SHARED ${ARGN})
  set_target_properties(${target} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${ZUN_STAGE_BIN}
    RUNTIME_OUTPUT_DIRECTORY ${ZUN_STAGE_BIN})
endfunction()

# zun_test_stage(<target>): the test program finds the stage as under CTest
# when it is run by hand from any directory.
configure_file(${CMAKE_SOURCE_DIR}/tests/tools/stage_env.cpp.in ${CMAKE_BINARY_DIR}/tests/stage_env.cpp @ONLY)
function(zun_test_stage target)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/tests/stage_env.cpp)
endfunction()

# zun_gtest(<target> SOURCES <files...> LIBS <libs...>): a GoogleTest binary whose
# cases are registered with CTest one by one. A test that reads source files
# names the source folder in its own compile definition ZUN_SOURCE_DIR.
function(zun_gtest target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  zun_test_stage(${target})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "ZUN_STAGE=${ZUN_STAGE}")
endfunction()

# zun_golden_tests(<name> <program> <cases-dir>): one CTest case per folder below
# <cases-dir>; see tests/tools/golden.sh for the layout of a case.
function(zun_golden_tests name program dir)
  file(GLOB cases LIST_DIRECTORIES true ${dir}/*)
  foreach(case ${cases})
    if(IS_DIRECTORY ${case} AND EXISTS ${case}/cmd)
      get_filename_component(case_name ${case} NAME)
      add_test(NAME ${name}.${case_name}
        COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/golden.sh ${ZUN_STAGE_BIN}/${program} ${case})
    endif()
  endforeach()
endfunction()

add_custom_target(stage_data_dirs
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ZUN_STAGE}/bin ${ZUN_STAGE}/config/zun09
          ${ZUN_STAGE}/include ${ZUN_STAGE}/lib/zun09 ${ZUN_STAGE}/src/startup/zun09)

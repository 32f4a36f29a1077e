# Build settings of both trees and the helpers every folder uses to declare its targets.
find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_C_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

if(WIN32)
  enable_language(RC)
  add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  add_compile_options(-Wall -Wextra -Wno-missing-field-initializers)
  # No MinGW DLL may be needed at run time: libgcc, libstdc++ and winpthread go in statically.
  add_link_options(-static -static-libgcc -static-libstdc++)
else()
  add_compile_options(-Wall -Wextra -Wno-missing-field-initializers)
  if(CORVANE_FUZZ)
    # Coverage for libFuzzer in every library the fuzz targets link.
    # Undefined behaviour stops the run as a crash does, so libFuzzer keeps the input.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
      -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  elseif(CORVANE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()

# corvane_test(NAME n SOURCES s... [LIBS l...] [ENV k=v...]): one test executable, run by ctest
# as one process (under Wine in the Windows tree).
function(corvane_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no)
  set_tests_properties(${T_NAME} PROPERTIES
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${T_NAME}>
    ENVIRONMENT "CORVANE_TEST_SOURCE_DIR=${PROJECT_SOURCE_DIR};${T_ENV}")
endfunction()

# corvane_benchmark(NAME n SOURCES s... [LIBS l...]): native only, built when Google Benchmark is.
function(corvane_benchmark)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(WIN32 OR NOT TARGET benchmark::benchmark)
    return()
  endif()
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS} benchmark::benchmark_main)
endfunction()

# corvane_fuzzer(NAME n_fuzzer SOURCES s... [LIBS l...]): libFuzzer target, in the fuzz tree only.
# Its seeds are fuzz/corpus/<n>/ beside the CMakeLists that declares it, and fuzz/<n>.dict its
# dictionary if there is one: tools/fuzz.sh finds them by this rule. The `fuzzers` target (what
# the fuzz build preset builds) depends on every one.
function(corvane_fuzzer)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(WIN32 OR NOT CORVANE_FUZZ)
    return()
  endif()
  string(REGEX REPLACE "_fuzzer$" "" stem ${F_NAME})
  if(stem STREQUAL F_NAME OR NOT IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/${stem})
    message(FATAL_ERROR "fuzz target ${F_NAME}: the name must end in _fuzzer and its seeds lie in "
      "${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/${stem}")
  endif()
  if(NOT TARGET fuzzers)
    add_custom_target(fuzzers)
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  add_dependencies(fuzzers ${F_NAME})
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
endfunction()

# corvane_gui_program(NAME n SOURCES s... [LIBS l...] [OUTPUT_NAME o] [OUTPUT_DIRECTORY d]): a
# 32-bit Windows GUI program with the Unicode entry point wWinMain, in bin/ unless told.
function(corvane_gui_program)
  cmake_parse_arguments(P "" "NAME;OUTPUT_NAME;OUTPUT_DIRECTORY" "SOURCES;LIBS" ${ARGN})
  add_executable(${P_NAME} WIN32 ${P_SOURCES})
  target_link_options(${P_NAME} PRIVATE -municode -mwindows)
  target_link_libraries(${P_NAME} PRIVATE ${P_LIBS})
  if(P_OUTPUT_NAME)
    set_target_properties(${P_NAME} PROPERTIES OUTPUT_NAME ${P_OUTPUT_NAME})
  endif()
  if(NOT P_OUTPUT_DIRECTORY)
    set(P_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  endif()
  set_target_properties(${P_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${P_OUTPUT_DIRECTORY})
endfunction()

# corvane_demo_service_fixture(NAME [INSTALLERS file...]): a demo service of its own for the
# tests in this folder, started before and stopped after the tests that name FIXTURES_REQUIRED
# NAME. It writes its port and control token to demo_service.state in this folder's binary
# directory (the tests' working directory), so test executables in different folders never
# share one. INSTALLERS are the files a test may have it serve as /download/Setup.exe; it serves
# their signatures made with the build's demo key. LINUX_PACKAGES are the files it may offer the
# Linux edition as its package (/_demo/linux-package), signed the same way.
function(corvane_demo_service_fixture NAME)
  cmake_parse_arguments(F "" "" "INSTALLERS;LINUX_PACKAGES" ${ARGN})
  find_package(Python3 COMPONENTS Interpreter REQUIRED)
  set(state ${CMAKE_CURRENT_BINARY_DIR}/demo_service.state)
  set(script ${PROJECT_SOURCE_DIR}/tools/demo_service/demo_service.py)
  set(allowed)
  foreach(file IN LISTS F_INSTALLERS)
    list(APPEND allowed --allow-installer ${file})
  endforeach()
  foreach(file IN LISTS F_LINUX_PACKAGES)
    list(APPEND allowed --allow-linux-package ${file})
  endforeach()
  if(CORVANE_DEMO_UPDATE_KEY)  # it signs what it serves, as a publisher would
    list(APPEND allowed --signing-key ${CORVANE_DEMO_UPDATE_KEY})
  endif()
  add_test(NAME ${NAME}_start COMMAND ${Python3_EXECUTABLE} ${script} --start ${state} ${allowed})
  add_test(NAME ${NAME}_stop COMMAND ${Python3_EXECUTABLE} ${script} --stop ${state})
  set_tests_properties(${NAME}_start PROPERTIES FIXTURES_SETUP ${NAME})
  set_tests_properties(${NAME}_stop PROPERTIES FIXTURES_CLEANUP ${NAME})
endfunction()

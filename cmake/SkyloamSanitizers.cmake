# Sanitized builds: SKYLOAM_SANITIZE instruments every target with
# AddressSanitizer and UndefinedBehaviorSanitizer (any report aborts the
# process), and turns on the standard library's own bounds checks.
# SKYLOAM_BUILD_FUZZERS adds the coverage instrumentation libFuzzer steers by.
#
# The CPython interpreter itself is not instrumented, so the tests start it
# with the sanitizer runtime preloaded: SKYLOAM_SANITIZER_RUNTIME is the
# compiler's shared AddressSanitizer runtime for LD_PRELOAD.

if(SKYLOAM_BUILD_FUZZERS AND NOT SKYLOAM_SANITIZE)
  message(FATAL_ERROR "SKYLOAM_BUILD_FUZZERS needs SKYLOAM_SANITIZE (use the fuzz preset)")
endif()

if(SKYLOAM_SANITIZE)
  add_compile_options(-fsanitize=address,undefined,float-cast-overflow
                      -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
  add_compile_definitions(_GLIBCXX_ASSERTIONS)

  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set(_skyloam_asan_name libasan.so)
  elseif(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    set(_skyloam_asan_name libclang_rt.asan-${CMAKE_SYSTEM_PROCESSOR}.so)
  else()
    message(FATAL_ERROR "SKYLOAM_SANITIZE supports g++ and clang++ only")
  endif()
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_skyloam_asan_name}
                  OUTPUT_VARIABLE _skyloam_asan_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
  # The compiler echoes the bare name back when it has no such file.
  if(NOT IS_ABSOLUTE "${_skyloam_asan_runtime}" OR NOT EXISTS "${_skyloam_asan_runtime}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} has no ${_skyloam_asan_name}; "
                        "install its sanitizer runtime")
  endif()
  get_filename_component(_skyloam_asan_runtime "${_skyloam_asan_runtime}" REALPATH)
  set(SKYLOAM_SANITIZER_RUNTIME "${_skyloam_asan_runtime}" CACHE INTERNAL
      "Shared AddressSanitizer runtime preloaded into the Python tests")
  message(STATUS "Sanitized build; sanitizer runtime ${SKYLOAM_SANITIZER_RUNTIME}")
endif()

if(SKYLOAM_BUILD_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzzers need clang with libFuzzer (use the fuzz preset)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link
    -fsanitize-coverage-ignorelist=${PROJECT_SOURCE_DIR}/fuzz/coverage_ignorelist.txt)
endif()

# Instrumented builds, each configured in a build directory of its own:
#   QORVIK_SANITIZE  AddressSanitizer, UndefinedBehaviorSanitizer and leak
#                    checks on everything, tests included (make test-asan);
#   QORVIK_FUZZ      the same with clang, plus libFuzzer coverage, for the
#                    fuzz targets in tests/fuzz (make fuzz).
# Qt's own libraries stay uninstrumented.
option(QORVIK_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(QORVIK_FUZZ "Build the libFuzzer targets (clang only)" OFF)

if(QORVIK_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "QORVIK_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
endif()

if(QORVIK_SANITIZE OR QORVIK_FUZZ)
  # Undefined behaviour stops the run instead of printing and going on.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer -O1)
  add_link_options(-fsanitize=address,undefined)
endif()

if(QORVIK_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# -DPARVEX_FUZZ=ON: every target is instrumented for libFuzzer's coverage feedback and built with
# AddressSanitizer and UBSan; tests/fuzz links its targets with libFuzzer's driver.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "PARVEX_FUZZ needs clang (libFuzzer), not ${CMAKE_CXX_COMPILER_ID}. "
        "Configure a fresh build folder with -DCMAKE_CXX_COMPILER=clang++, as scripts/fuzz-smoke does.")
endif()
if(NOT PARVEX_BUILD_TESTS)
    message(FATAL_ERROR "PARVEX_FUZZ builds the fuzz targets under tests/: keep PARVEX_BUILD_TESTS on.")
endif()
# fuzzer-no-link instruments without pulling in libFuzzer's main(), which only the fuzz targets
# link (-fsanitize=fuzzer). Any UBSan finding stops the run, so that libFuzzer saves the input.
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)

# libFuzzer harnesses (clang only). Every object of the tree is built with
# coverage for the fuzzer on top of the address and undefined-behaviour
# checks; each harness links libFuzzer's main.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TAV_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++)")
endif()
add_compile_options(-fsanitize=fuzzer-no-link)

# Seed corpora and kept regressions live in tests/fuzz/corpus/<name>/.
set(TAV_FUZZ_CORPUS_ROOT ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus)
# The generated content (base/), for harnesses that seed from the game's
# own files: SEED_DIRS ${TAV_GENERATED_BASE}.
set(TAV_GENERATED_BASE ${CMAKE_BINARY_DIR}/../base CACHE PATH "Generated base/ folder")
# How long `make test` fuzzes each harness after replaying its corpus;
# `make fuzz` overrides it through TAV_FUZZ_SECONDS.
set(TAV_FUZZ_TEST_SECONDS 3 CACHE STRING "Seconds of fuzzing per harness in make test")

# tav_add_fuzzer(name SOURCES ... [LIBS ...] [SEED_DIRS ...])
# Builds fuzz_<name> and registers a test that replays its corpus (the kept
# seeds in tests/fuzz/corpus/<name>/ plus any SEED_DIRS, such as generated
# content) and then fuzzes for a while. New inputs go to a scratch corpus in
# the build tree, never into the source tree.
function(tav_add_fuzzer name)
    cmake_parse_arguments(F "" "" "SOURCES;LIBS;SEED_DIRS" ${ARGN})
    set(target fuzz_${name})
    add_executable(${target} ${F_SOURCES})
    target_link_libraries(${target} PRIVATE ${F_LIBS})
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    add_test(NAME ${target}
        COMMAND ${CMAKE_SOURCE_DIR}/scripts/fuzz-run.sh $<TARGET_FILE:${target}>
                ${CMAKE_BINARY_DIR}/corpus/${name} ${TAV_FUZZ_TEST_SECONDS}
                ${TAV_FUZZ_CORPUS_ROOT}/${name} ${F_SEED_DIRS})
    set_tests_properties(${target} PROPERTIES LABELS fuzz)
endfunction()

# SPDX-License-Identifier: GPL-3.0-or-later
# The fuzz build: every library and target instrumented for libFuzzer's coverage feedback and
# checked by the sanitizers, so that a fault found on any input aborts with its report.

if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TALONARIO_FUZZ needs clang (libFuzzer): configure with CXX=clang++")
endif()

set(TALONARIO_FUZZ_SANITIZERS
    # overruns and use after free in the readers
    address
    # the language's undefined behaviour, including double to integer casts out of range
    undefined
    float-cast-overflow
    # wrapping and truncating integer arithmetic, which the fixed-width fields must never do
    integer
)
list(JOIN TALONARIO_FUZZ_SANITIZERS "," _sanitizers)

add_compile_options(
    -fsanitize=fuzzer-no-link,${_sanitizers}
    # a finding stops the run at once instead of scrolling past
    -fno-sanitize-recover=all
    # arithmetic that wraps on purpose, in code we do not own
    -fsanitize-ignorelist=${CMAKE_CURRENT_LIST_DIR}/../tests/fuzz/ignorelist.txt
    -fno-omit-frame-pointer
    -g
    # fast enough to fuzz, quicker to build than -O2
    -O1
)
add_link_options(-fsanitize=${_sanitizers})

# talonario_add_fuzzer(name SOURCES a.cpp ... LIBS lib ...)
# One libFuzzer executable per entry point, with its seed corpus in corpus/<name>.
function(talonario_add_fuzzer name)
    cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${F_SOURCES})
    target_link_libraries(${name} PRIVATE talonario_hygiene ${F_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_property(GLOBAL APPEND PROPERTY TALONARIO_FUZZERS ${name})
endfunction()

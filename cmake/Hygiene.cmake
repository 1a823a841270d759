# SPDX-License-Identifier: GPL-3.0-or-later
# Build hygiene shared by every target: warnings and the optional sanitizers.

add_library(talonario_warnings INTERFACE)
target_compile_options(talonario_warnings INTERFACE
    -Wall        # the common mistakes
    -Wextra      # unused parameters, sign mix-ups in comparisons
    -Wpedantic   # no compiler extensions: the code must build anywhere
)

add_library(talonario_sanitizers INTERFACE)
if(TALONARIO_SANITIZE)
    # Address + undefined behaviour: catches overruns and overflow in the
    # fixed-width arithmetic of the encoder and the amounts.
    # float-cast-overflow is not part of "undefined": it catches a double too
    # large for the integer it is converted to (the amounts' cents and pesos).
    target_compile_options(talonario_sanitizers INTERFACE
        -fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined,float-cast-overflow)
    target_link_options(talonario_sanitizers INTERFACE
        -fsanitize=address,undefined,float-cast-overflow)
endif()

add_library(talonario_hygiene INTERFACE)
target_link_libraries(talonario_hygiene INTERFACE talonario_warnings talonario_sanitizers)

# talonario_moc_sources(target source.cpp ...)
# The tests declare their QObjects in their own .cpp and include "<name>.moc"
# at its end. moc reads just that file: it needs none of the headers, whose
# reading (AUTOMOC passes every include folder) took seconds per test.
function(talonario_moc_sources target)
    set(_folder ${CMAKE_CURRENT_BINARY_DIR}/${target}_moc)
    foreach(_source IN LISTS ARGN)
        get_filename_component(_name ${_source} NAME_WE)
        get_filename_component(_path ${_source} ABSOLUTE)
        file(READ ${_path} _text)
        string(FIND "${_text}" "#include \"${_name}.moc\"" _included)
        if(_included EQUAL -1)
            continue()
        endif()
        add_custom_command(OUTPUT ${_folder}/${_name}.moc
            COMMAND Qt6::moc ${_path} -o ${_folder}/${_name}.moc
            DEPENDS ${_path} Qt6::moc
            COMMENT "moc ${_name}.cpp"
            VERBATIM)
        target_sources(${target} PRIVATE ${_folder}/${_name}.moc)
    endforeach()
    target_include_directories(${target} PRIVATE ${_folder})
endfunction()

# talonario_add_test(Name SOURCES a.cpp ... LIBS lib ... [LABELS unit ...] [TIMEOUT s]
#                    [ENVIRONMENT NAME=VALUE ...])
# One QtTest executable per unit; GUI tests run on the offscreen platform. Every
# one of them also runs in the sanitizer build (label "sanitized"), the window and
# command-line tests included; "unit" marks those that need no widgets.
function(talonario_add_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    # Every test is a QObject with its slots.
    talonario_moc_sources(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test talonario_hygiene ${T_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    # TALONARIO_BASE: what a test runs records nowhere unless the test says where.
    set(_environment "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;TALONARIO_BASE=ninguna")
    if(TALONARIO_SANITIZE)
        # Leaks that are not ours (fontconfig's caches), for the test and the programs it runs.
        list(APPEND _environment
             "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/fuzz/lsan.supp")
    endif()
    set_tests_properties(${name} PROPERTIES
        LABELS "sanitized;${T_LABELS}"
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "${_environment};${T_ENVIRONMENT}")
    set_property(GLOBAL APPEND PROPERTY TALONARIO_SANITIZED_TESTS ${name})
    if("unit" IN_LIST T_LABELS)
        set_property(GLOBAL APPEND PROPERTY TALONARIO_UNIT_TESTS ${name})
    endif()
endfunction()

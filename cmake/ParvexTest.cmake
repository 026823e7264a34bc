# One test executable per unit, registered with CTest.
#   parvex_add_gtest(NAME name SOURCES a.cpp ... LIBS lib ...)
#   parvex_add_qttest(NAME name SOURCES a.cpp ... LIBS lib ...)   # offscreen Qt Test
include(GoogleTest)

function(parvex_add_gtest)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock parvex::warnings)
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    gtest_discover_tests(${T_NAME}
        DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${T_ENV}")
endfunction()

function(parvex_add_qttest)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} Qt6::Test parvex::warnings)
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${T_ENV}")
endfunction()

# The tests' PostgreSQL server: CTest starts it before the first test that needs it and stops it
# after the last, whether the tests pass or fail.
set(ZAJAVKI_TEST_SERVER_STATE ${CMAKE_BINARY_DIR}/test-server)
add_test(NAME TestServerStart
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/test-server.sh start ${ZAJAVKI_TEST_SERVER_STATE})
add_test(NAME TestServerStop
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/test-server.sh stop ${ZAJAVKI_TEST_SERVER_STATE})
set_tests_properties(TestServerStart PROPERTIES FIXTURES_SETUP server)
set_tests_properties(TestServerStop PROPERTIES FIXTURES_CLEANUP server)

# A test that talks to the server itself.
function(zajavki_needs_server test)
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT "ZAJAVKI_TEST_SERVER=${ZAJAVKI_TEST_SERVER_STATE}/conninfo")
    set_property(TEST ${test} PROPERTY FIXTURES_REQUIRED server)
endfunction()

# zajavki_on_server(program [FILTER gtest-filter]): runs a test program's cases a second time with
# the store on the server (the cases that concern a file, such as its damage, left out by FILTER).
function(zajavki_on_server program)
    cmake_parse_arguments(S "" "FILTER" "" ${ARGN})
    set(args)
    if(S_FILTER)
        set(args --gtest_filter=${S_FILTER})
    endif()
    add_test(NAME ${program}_server COMMAND ${program} ${args})
    get_test_property(${program} ENVIRONMENT env)
    set_tests_properties(${program}_server PROPERTIES ENVIRONMENT "${env};ZAJAVKI_TEST_BACKEND=server" TIMEOUT 600)
    zajavki_needs_server(${program}_server)
endfunction()

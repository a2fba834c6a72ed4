# GoogleTest from Debian's source package, built inside each configuration,
# and the helpers that register test programs with CTest.
include(GoogleTest)

set(TAV_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(TAV_WINDOWS)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${TAV_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

if(TAV_WINDOWS)
    # CTest runs every Windows program through this wrapper (Wine, headless).
    configure_file(${CMAKE_SOURCE_DIR}/scripts/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY USE_SOURCE_PERMISSIONS)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
endif()

# Folder the tests run in: a copy of the generated content sits in it (base/).
set(TAV_TEST_RUN_DIR ${CMAKE_BINARY_DIR}/testrun)
file(MAKE_DIRECTORY ${TAV_TEST_RUN_DIR})

# tav_add_test(name SOURCES ... LIBS ... [TIMEOUT s] [LABELS ...] [SERIAL] [OWN_MAIN])
# One GoogleTest program; each of its tests becomes one CTest test.
function(tav_add_test name)
    cmake_parse_arguments(T "SERIAL;OWN_MAIN" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 60)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
    if(NOT T_OWN_MAIN)
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE TAV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    if(TAV_WINDOWS)
        set(labels windows ${T_LABELS})
    else()
        set(labels native ${T_LABELS})
    endif()
    set(props LABELS "${labels}" TIMEOUT ${T_TIMEOUT})
    if(T_SERIAL)
        list(APPEND props RUN_SERIAL TRUE)
    endif()
    gtest_discover_tests(${name}
        WORKING_DIRECTORY ${TAV_TEST_RUN_DIR}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES ${props})
endfunction()

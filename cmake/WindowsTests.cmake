# The engine's Windows build and its tests under Wine: built as an external
# project with the mingw-w64 toolchain whenever the compiler and Wine are here
# (scripts/deps.sh --windows installs them), skipped with a note otherwise.
find_program(KV_MINGW_CXX x86_64-w64-mingw32-g++)
find_program(KV_WINE64 NAMES wine64 PATHS /usr/lib/wine)
find_path(KV_GOOGLETEST_SOURCE googletest/CMakeLists.txt PATHS /usr/src/googletest NO_DEFAULT_PATH)

if(NOT KV_MINGW_CXX OR NOT KV_WINE64 OR NOT KV_GOOGLETEST_SOURCE)
    set(note "Windows tests skipped: needs x86_64-w64-mingw32-g++, wine64 and /usr/src/googletest (scripts/deps.sh --windows)")
    message(STATUS "${note}")
    add_test(NAME windows_tests_skipped COMMAND sh -c "echo '${note}'; exit 77")
    set_tests_properties(windows_tests_skipped PROPERTIES SKIP_RETURN_CODE 77)
    return()
endif()

include(ExternalProject)
set(KV_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows)
ExternalProject_Add(kv_windows
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${KV_WINDOWS_DIR}
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64.cmake
        -DCMAKE_BUILD_TYPE=Release
        -DKV_WARNINGS_AS_ERRORS=${KV_WARNINGS_AS_ERRORS}
        -DKV_GOOGLETEST_SOURCE=${KV_GOOGLETEST_SOURCE}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${KV_WINDOWS_DIR}/storage_tests.exe ${KV_WINDOWS_DIR}/oracle.exe)

set(wine_env
    "KV_WINE64=${KV_WINE64}"
    "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
set(wine_run ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)

# Creating the prefix takes seconds; the tests share it and its server.
add_test(NAME windows_wine_start COMMAND ${wine_run} --start)
add_test(NAME windows_wine_stop COMMAND ${wine_run} --stop)
set_tests_properties(windows_wine_start PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(windows_wine_stop PROPERTIES FIXTURES_CLEANUP wine)

add_test(NAME storage_tests_windows COMMAND ${wine_run} ${KV_WINDOWS_DIR}/storage_tests.exe)
add_test(NAME profile_oracle COMMAND ${wine_run} ${KV_WINDOWS_DIR}/oracle.exe --sequences 4000)
set_tests_properties(storage_tests_windows profile_oracle PROPERTIES FIXTURES_REQUIRED wine)
set_tests_properties(windows_wine_start windows_wine_stop storage_tests_windows profile_oracle
    PROPERTIES ENVIRONMENT "${wine_env}" TIMEOUT 600)

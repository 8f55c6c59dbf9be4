# Linux: the logic against the simulated host, its tests, benchmarks and fuzz targets.
# The simulated host (tests/sim): the bridge's logic against a virtual clock and scripted peers.
file(GLOB sim_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/sim/*_sim.cpp)
add_library(pontara_sim STATIC ${sim_sources})
# The simulated Logger32 records link messages in the shape the Logger32 stand-in does.
target_include_directories(pontara_sim PUBLIC ${PROJECT_SOURCE_DIR}/tests
                                              ${PROJECT_SOURCE_DIR}/tools/transcript)
target_link_libraries(pontara_sim PUBLIC pontara_core)

# The station simulator: the whole station in virtual time, from a seed or a fuzzer's input.
add_library(pontara_simulator STATIC ${PROJECT_SOURCE_DIR}/tests/simulator/StationSimulator.cpp
                                     ${PROJECT_SOURCE_DIR}/tests/simulator/LoggedQso.cpp)
target_include_directories(pontara_simulator PUBLIC ${PROJECT_SOURCE_DIR}/tests/simulator
                                                    ${PROJECT_SOURCE_DIR}/tests/native)
target_link_libraries(pontara_simulator PUBLIC pontara_sim)

if(PONTARA_FUZZ)
    file(GLOB fuzz_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
    foreach(source ${fuzz_sources})
        get_filename_component(name ${source} NAME_WE)
        add_executable(${name} ${source})
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_libraries(${name} PRIVATE pontara_simulator)
    endforeach()
    return()
endif()

find_package(GTest REQUIRED)
include(GoogleTest)
file(GLOB native_tests CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/native/*.cpp)
add_executable(pontara_tests ${native_tests})
target_include_directories(pontara_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/native)
target_link_libraries(pontara_tests PRIVATE pontara_simulator GTest::gmock GTest::gtest_main)
gtest_discover_tests(pontara_tests DISCOVERY_MODE PRE_TEST)

# Seeded runs of the station simulator, for as long as asked, and the replay of one seed.
add_executable(station_simulator ${PROJECT_SOURCE_DIR}/tests/simulator/Simulate.cpp)
target_link_libraries(station_simulator PRIVATE pontara_simulator)

find_package(benchmark QUIET)
file(GLOB bench_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/*.cpp)
if(benchmark_FOUND AND bench_sources)
    add_executable(pontara_bench ${bench_sources})
    target_link_libraries(pontara_bench PRIVATE pontara_sim benchmark::benchmark)
endif()

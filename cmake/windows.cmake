# Windows (MinGW-w64): Pontara.exe, the peer stand-ins and the tests run under Wine.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)
enable_language(RC)

# Reproducible programs: the same commit gives the same bytes on any machine. No build paths in
# the code (__FILE__ and debug information name files relative to the source and build trees),
# no link time stamp in the PE header.
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>
                    $<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>)
add_link_options(-Wl,--no-insert-timestamp)

# The version, generated at every build (cmake/version.cmake): generated/PontaraVersion.h for the
# version resource and the splash, version.txt for scripts/release.
set(version_header ${PROJECT_BINARY_DIR}/generated/PontaraVersion.h)
add_custom_target(pontara_version
    COMMAND ${CMAKE_COMMAND} -DPROJECT_VERSION=${PROJECT_VERSION} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            -DOUTPUT_HEADER=${version_header} -DOUTPUT_TEXT=${PROJECT_BINARY_DIR}/version.txt
            -P ${PROJECT_SOURCE_DIR}/cmake/version.cmake
    BYPRODUCTS ${version_header} ${PROJECT_BINARY_DIR}/version.txt
    COMMENT "Pontara's version"
    VERBATIM)

set(windows_libraries user32 gdi32 kernel32 advapi32 ole32 oleaut32 uuid)

# The program entry goes into the executable itself, so that the C runtime finds it.
set(main_source ${PROJECT_SOURCE_DIR}/src/win32host/Main_win.cpp)
list(REMOVE_ITEM win_sources ${main_source})
add_library(pontara_win STATIC ${win_sources})
target_link_libraries(pontara_win PUBLIC pontara_core ${windows_libraries})
target_include_directories(pontara_win PUBLIC ${PROJECT_BINARY_DIR}/generated)
add_dependencies(pontara_win pontara_version)

add_executable(Pontara WIN32 ${main_source} ${PROJECT_SOURCE_DIR}/src/app/Pontara.rc)
target_link_libraries(Pontara PRIVATE pontara_win)
set_target_properties(Pontara PROPERTIES OUTPUT_NAME Pontara)
target_link_options(Pontara PRIVATE -s)
add_dependencies(Pontara pontara_version)
# windres's includes are not tracked: the resource follows the version header explicitly.
set_source_files_properties(${PROJECT_SOURCE_DIR}/src/app/Pontara.rc PROPERTIES
                            OBJECT_DEPENDS ${version_header})

# The release's signing (scripts/sign-release) on the program of this build, with a throwaway
# certificate; it runs on Linux, beside the tests under Wine.
add_test(NAME Release.SignsAndVerifiesWithAThrowawayCertificate
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/release/SignRelease_test.sh $<TARGET_FILE:Pontara>)

# GoogleTest for the Windows side, from the sources Debian ships.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -Wno-error)
target_compile_options(gtest_main PRIVATE -Wno-error)

foreach(tool transcript logger32-sim mixw-sim station station-demo)
    add_subdirectory(tools/${tool})
endforeach()

if(EXISTS ${PROJECT_SOURCE_DIR}/tests/win/CMakeLists.txt)
    add_subdirectory(tests/win)
endif()

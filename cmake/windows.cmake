# Windows (MinGW-w64): Pontara.exe, the peer stand-ins and the tests run under Wine.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)
enable_language(RC)

set(windows_libraries user32 gdi32 kernel32 advapi32 ole32 oleaut32 uuid)

# The program entry goes into the executable itself, so that the C runtime finds it.
set(main_source ${PROJECT_SOURCE_DIR}/src/app/Main_win.cpp)
list(REMOVE_ITEM win_sources ${main_source})
add_library(pontara_win STATIC ${win_sources})
target_link_libraries(pontara_win PUBLIC pontara_core ${windows_libraries})

add_executable(Pontara WIN32 ${main_source} ${PROJECT_SOURCE_DIR}/src/app/Pontara.rc)
target_link_libraries(Pontara PRIVATE pontara_win)
set_target_properties(Pontara PROPERTIES OUTPUT_NAME Pontara)
target_link_options(Pontara PRIVATE -s)

# GoogleTest for the Windows side, from the sources Debian ships.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -Wno-error)
target_compile_options(gtest_main PRIVATE -Wno-error)

foreach(tool transcript logger32-sim mixw-sim station station-demo)
    if(EXISTS ${PROJECT_SOURCE_DIR}/tools/${tool}/CMakeLists.txt)
        add_subdirectory(tools/${tool})
    endif()
endforeach()

if(EXISTS ${PROJECT_SOURCE_DIR}/tests/win/CMakeLists.txt)
    add_subdirectory(tests/win)
endif()

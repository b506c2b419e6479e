# The Windows program, its end-to-end test driver and its benchmark.
enable_language(RC)

file(GLOB_RECURSE FW_APP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*.cpp)
list(REMOVE_ITEM FW_APP_SOURCES ${FW_RULES_SOURCES})

set(FW_STATIC_RUNTIME -static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)
set(FW_WIN_LIBS ole32 oleaut32 uuid winmm comctl32 comdlg32 shell32 gdi32 user32 advapi32 winspool)
# The program itself links only what it needs at start; OLE (the picture
# objects), the Save dialog, printing, the shell and the sound are loaded
# when first used.
set(FW_PROGRAM_LIBS uuid comctl32 gdi32 user32 advapi32)

# Everything but WinMain, so the benchmark can link the same code.
set(FW_CORE_SOURCES ${FW_APP_SOURCES})
list(REMOVE_ITEM FW_CORE_SOURCES ${CMAKE_SOURCE_DIR}/src/app/main.cpp)
add_library(fw_core STATIC ${FW_CORE_SOURCES})
target_include_directories(fw_core PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/resources)
target_compile_definitions(fw_core PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX STRICT _WIN32_WINNT=0x0601 WINVER=0x0601)
target_link_libraries(fw_core PUBLIC fw_rules ${FW_PROGRAM_LIBS})

add_executable(Framewick WIN32 ${CMAKE_SOURCE_DIR}/src/app/main.cpp ${CMAKE_SOURCE_DIR}/resources/framewick.rc)
target_link_libraries(Framewick PRIVATE fw_core)
target_link_options(Framewick PRIVATE ${FW_STATIC_RUNTIME})
# A 32-bit program on 64-bit Windows gets 4 GB of address space instead of
# 2, room for a 4K capture, its clipboard copy and the system's transient
# copies. (64-bit programs have it anyway.)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_link_options(Framewick PRIVATE -Wl,--large-address-aware)
endif()
set_target_properties(Framewick PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set_property(SOURCE ${CMAKE_SOURCE_DIR}/resources/framewick.rc APPEND PROPERTY OBJECT_DEPENDS
             ${CMAKE_SOURCE_DIR}/resources/framewick.ico ${CMAKE_SOURCE_DIR}/resources/framewick.manifest
             ${CMAKE_SOURCE_DIR}/resources/sample.bmp ${CMAKE_SOURCE_DIR}/resources/camera.jpg)

# Files that live beside the program.
foreach(f camera.wav help.htm)
  if(EXISTS ${CMAKE_SOURCE_DIR}/resources/${f})
    add_custom_command(TARGET Framewick POST_BUILD
                       COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resources/${f}
                               ${CMAKE_BINARY_DIR}/bin/${f})
  endif()
endforeach()

# GoogleTest, cross-compiled, for the end-to-end driver.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -Wno-error)

file(GLOB FW_E2E_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp ${CMAKE_SOURCE_DIR}/tests/e2e/harness/*.cpp)
add_executable(fw_e2e ${FW_E2E_SOURCES})
target_include_directories(fw_e2e PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/resources)
target_compile_definitions(fw_e2e PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
target_link_libraries(fw_e2e PRIVATE gtest fw_rules ${FW_WIN_LIBS} psapi)
# Options structs are filled with designated initializers, naming only what a test changes.
target_compile_options(fw_e2e PRIVATE -Wno-missing-field-initializers)
target_link_options(fw_e2e PRIVATE ${FW_STATIC_RUNTIME})
set_target_properties(fw_e2e PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# Small helper programs the end-to-end tests start.
file(GLOB FW_E2E_HELPERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/helpers/*.cpp)
foreach(src ${FW_E2E_HELPERS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} WIN32 ${src})
  target_compile_definitions(${name} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  target_link_libraries(${name} PRIVATE ${FW_WIN_LIBS})
  target_link_options(${name} PRIVATE ${FW_STATIC_RUNTIME})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  add_dependencies(fw_e2e ${name})
endforeach()

# Benchmarks: each bench/*.cpp is a program of its own (linked with the
# program's code); bench/helpers/*.cpp are small window programs they start.
file(GLOB FW_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
foreach(src ${FW_BENCH_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src} ${CMAKE_SOURCE_DIR}/resources/framewick.rc)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/bench/include)
  # ole32: the bare probes call the system's image encoders directly.
  target_link_libraries(${name} PRIVATE fw_core psapi ole32)
  target_link_options(${name} PRIVATE ${FW_STATIC_RUNTIME})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endforeach()
# The start-up profile starts as the program does: a GUI program.
set_target_properties(startup_profile PROPERTIES WIN32_EXECUTABLE ON)
file(GLOB FW_BENCH_HELPERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/helpers/*.cpp)
foreach(src ${FW_BENCH_HELPERS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} WIN32 ${src})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/bench/include)
  target_link_libraries(${name} PRIVATE psapi)
  target_link_options(${name} PRIVATE ${FW_STATIC_RUNTIME})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endforeach()

# Libraries the driver loads into the running program to look inside it
# (its GDI objects, its fonts) or act from within (a message whose parameter
# points into its memory): each tests/e2e/probe/*.cpp is one.
file(GLOB FW_PROBE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/probe/*.cpp)
foreach(src ${FW_PROBE_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_library(${name} SHARED ${src})
  set_target_properties(${name} PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  target_compile_definitions(${name} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  target_link_libraries(${name} PRIVATE gdi32 user32 psapi)
  # Exported under their plain names (no stdcall decoration).
  target_link_options(${name} PRIVATE ${FW_STATIC_RUNTIME} -Wl,--kill-at)
  add_dependencies(fw_e2e ${name})
endforeach()

# Programs that run the program's own code in their own process (soak and
# leak checks); the end-to-end driver starts them.
file(GLOB FW_INPROCESS_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/inprocess/*.cpp)
foreach(src ${FW_INPROCESS_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src} ${CMAKE_SOURCE_DIR}/resources/framewick.rc)
  target_link_libraries(${name} PRIVATE fw_core psapi ole32 oleaut32)
  target_link_options(${name} PRIVATE ${FW_STATIC_RUNTIME})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  add_dependencies(fw_e2e ${name})
endforeach()

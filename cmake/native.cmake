# Native unit tests of the plain rules, optionally under sanitizers.
option(FW_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
set(FW_SANITIZE_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
if(FW_SANITIZE)
  add_compile_options(${FW_SANITIZE_FLAGS})
  add_link_options(-fsanitize=address,undefined)
  # The rules library is declared before this file is read, so the
  # directory-wide options above do not reach it.
  target_compile_options(fw_rules PRIVATE ${FW_SANITIZE_FLAGS})
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB FW_UNIT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${FW_UNIT_SOURCES})
target_include_directories(unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests/unit)
target_link_libraries(unit_tests PRIVATE fw_rules gtest_main)

enable_testing()
include(GoogleTest)
gtest_discover_tests(unit_tests)

# Fuzz targets (clang with libFuzzer): tests/fuzz/*.cpp. The rules they
# drive are instrumented for coverage too, or libFuzzer would fly blind.
option(FW_FUZZ "Build the fuzz targets (needs clang)" OFF)
if(FW_FUZZ)
  target_compile_options(fw_rules PRIVATE -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
  file(GLOB FW_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*.cpp)
  add_custom_target(fuzzers)
  foreach(src ${FW_FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE fw_rules)
    add_dependencies(fuzzers ${name})
  endforeach()
endif()

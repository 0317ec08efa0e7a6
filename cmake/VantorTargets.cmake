# Shared compile settings for every Vantor target.
add_library(vantor_warnings INTERFACE)
target_compile_options(vantor_warnings INTERFACE -Wall -Wextra)
target_compile_definitions(vantor_warnings INTERFACE
  VANTOR_VERSION="${PROJECT_VERSION}"
  QT_NO_KEYWORDS_FOR_NEW_CODE)

# Every library gets the fuzzer's coverage; only the fuzz targets link it.
if(VANTOR_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(VANTOR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# vantor_add_test(NAME <name> LABEL <area> [MAIN gtest|core|gui] [TIMEOUT s]
#                 SOURCES ... LIBS ...)
# One GoogleTest executable; each case is registered with CTest under the
# area's label. MAIN core gives the cases a QCoreApplication (event loop),
# MAIN gui a QApplication; widget tests run on the offscreen platform. In a
# cross build the cases are listed and run through the emulator (Wine).
function(vantor_add_test)
  cmake_parse_arguments(T "" "NAME;LABEL;TIMEOUT;MAIN" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_MAIN STREQUAL "core")
    set(main_lib vantor_test_main_core)
  elseif(T_MAIN STREQUAL "gui")
    set(main_lib vantor_test_main_gui)
  else()
    set(main_lib GTest::gtest_main)
  endif()
  # The Qt helpers where Qt is built, the plain ones otherwise.
  if(TARGET vantor_test_support)
    set(support_lib vantor_test_support)
  else()
    set(support_lib vantor_test_support_core)
  endif()
  target_link_libraries(${T_NAME} PRIVATE vantor_warnings GTest::gtest GTest::gmock ${main_lib} ${support_lib} ${T_LIBS})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  # Cross-built tests are listed when CTest runs them, where the emulator's
  # environment is set up, not at build time.
  if(CMAKE_CROSSCOMPILING)
    set(discovery_mode PRE_TEST)
  else()
    set(discovery_mode POST_BUILD)
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE ${discovery_mode}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT}
               ENVIRONMENT QT_QPA_PLATFORM=offscreen
    DISCOVERY_TIMEOUT 60)
endfunction()

# The side panels: the information panel and the approach view, their
# window-free models, and the widgets over a real scope.
add_library(vantor_panels_test_support STATIC PanelsTestSupport.cpp)
target_include_directories(vantor_panels_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(vantor_panels_test_support
  PUBLIC vantor_panels_core GTest::gtest Qt6::Gui PRIVATE vantor_warnings)

vantor_add_test(NAME shell_panels_model_tests LABEL shell
  SOURCES InfoPanelModelTest.cpp ApproachProfileTest.cpp
  LIBS vantor_panels_test_support vantor_panels_core)

vantor_add_test(NAME shell_panels_view_tests LABEL shell MAIN gui
  SOURCES InfoViewTest.cpp IlsViewTest.cpp
  LIBS vantor_panels_test_support vantor_shell_panels vantor_scope_test_support Qt6::Test)

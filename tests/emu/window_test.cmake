# The emulator's live window on a virtual X server (window_test.sh), on the
# demo card against the demo's reviewed pictures, with two
# helpers: xwd_compare checks a capture against a headless shot at the
# window's scale; close_window presses the close button through Xlib.
add_executable(xwd_compare ${CMAKE_CURRENT_LIST_DIR}/xwd_compare.cpp)
target_link_libraries(xwd_compare PRIVATE kestrel_options emu_png)
pkg_check_modules(X11 IMPORTED_TARGET x11)
set(close_window)
if(X11_FOUND)
  add_executable(close_window ${CMAKE_CURRENT_LIST_DIR}/close_window.cpp)
  target_link_libraries(close_window PRIVATE kestrel_options PkgConfig::X11)
  set(close_window $<TARGET_FILE:close_window>)
endif()
add_test(NAME emu_window
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/window_test.sh $<TARGET_FILE:kestrel-emu> $<TARGET_FILE:xwd_compare>
                 ${KESTREL_DEMO_CARD} ${PROJECT_SOURCE_DIR}/tests/golden ${close_window})
set_tests_properties(emu_window PROPERTIES LABELS window SKIP_RETURN_CODE 77 TIMEOUT 180)

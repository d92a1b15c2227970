# The host side of the board run (tools/test-device): the driver that plays a
# scenario on QEMU's board through its monitor and the board's control line.
add_executable(board_driver ${CMAKE_CURRENT_LIST_DIR}/board_driver.cpp)
target_link_libraries(board_driver PRIVATE kestrel_options emu_device)

# SPDX-FileCopyrightText: 2026 Ripplescope developers
# SPDX-License-Identifier: MIT
# The thin adapter over Qt Widgets: track bar, push button, timer, dialogs, error box, dispatch guard,
# picture view.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)
target_sources(ripplescope_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/application.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dispatch_guard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_dialog_details.cpp
    ${CMAKE_CURRENT_LIST_DIR}/group_box.cpp
    ${CMAKE_CURRENT_LIST_DIR}/interval_timer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/line_list_box.cpp
    ${CMAKE_CURRENT_LIST_DIR}/picture_view.cpp
    ${CMAKE_CURRENT_LIST_DIR}/platform_start.cpp
    ${CMAKE_CURRENT_LIST_DIR}/push_button.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_interaction.cpp
    ${CMAKE_CURRENT_LIST_DIR}/screen_placement.cpp
    ${CMAKE_CURRENT_LIST_DIR}/toolkit_language.cpp
    ${CMAKE_CURRENT_LIST_DIR}/track_bar.cpp
)
target_link_libraries(ripplescope_ui PUBLIC Qt6::Core Qt6::Gui Qt6::Widgets)
# The window names its launcher so a Wayland compositor shows the launcher's icon and name for it.
target_compile_definitions(ripplescope_ui PRIVATE RIPPLESCOPE_APP_ID="${RIPPLESCOPE_APP_ID}")

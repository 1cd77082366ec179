# SPDX-FileCopyrightText: 2026 Ripplescope developers
# SPDX-License-Identifier: MIT
target_sources(ripplescope_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/recording_surface.cpp
    ${CMAKE_CURRENT_LIST_DIR}/svg_surface.cpp
    ${CMAKE_CURRENT_LIST_DIR}/raster_canvas.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gdi_line.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gdi_ellipse.cpp
)

# SPDX-License-Identifier: GPL-3.0-or-later
# The head-snippet, link and image dialogs: their fragments and picture reading without a
# window, the dialogs themselves through the main window.
vr_add_test(headlink_fragments_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/headlink_fragments_test.cpp
  LIBS vr_dialogs)
vr_add_test(headlink_dialogs_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/headlink_dialogs_test.cpp)
vr_add_test(headlink_image_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/headlink_image_test.cpp)

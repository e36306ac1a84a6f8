# SPDX-License-Identifier: GPL-3.0-or-later
# Table, list, colours, marquee, iframe and time/date dialogs: their pure code without a
# display, and the dialogs driven through the main window.
vr_add_test(generators_unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/generators_unit.cpp
  LIBS vr_dialogs)
vr_add_test(generators_gui GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/generators_gui.cpp)

# SPDX-License-Identifier: GPL-3.0-or-later
vr_add_test(validator_checks_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/checks_test.cpp ${CMAKE_CURRENT_LIST_DIR}/summary_test.cpp
  LIBS vr_validator)
vr_add_test(validator_window_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/frmvalidator_test.cpp
  LIBS vr_validator GUI)

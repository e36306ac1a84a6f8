# SPDX-License-Identifier: GPL-3.0-or-later
# The located checker and the HTML name tables: pure logic, no display.
vr_add_test(checker_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/checker_test.cpp ${CMAKE_CURRENT_LIST_DIR}/htmldata_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tokenizer_test.cpp
  LIBS vr_checker)
# The rules' page of the documentation must name every rule.
target_compile_definitions(checker_test PRIVATE VR_CHECKER_DOC="${PROJECT_SOURCE_DIR}/docs/checker.md")

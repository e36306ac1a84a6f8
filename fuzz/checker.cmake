# SPDX-License-Identifier: GPL-3.0-or-later
# The located checker: its tokenizer and tree builder over arbitrary text.
file(GLOB VR_CHECKER_SOURCES ${PROJECT_SOURCE_DIR}/src/checker/*.cpp ${PROJECT_SOURCE_DIR}/src/htmldata/*.cpp)
vr_add_fuzzer(html_checker SOURCES ${CMAKE_CURRENT_LIST_DIR}/html_checker_fuzzer.cpp ${VR_CHECKER_SOURCES}
              LIBS Qt6::Core)

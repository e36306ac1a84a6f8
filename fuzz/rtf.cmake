# SPDX-License-Identifier: GPL-3.0-or-later
# The RTF reader on arbitrary bytes, and the writer on what it read.
vr_add_fuzzer(rtf_read SOURCES ${CMAKE_CURRENT_LIST_DIR}/rtf_read_fuzzer.cpp
              ${PROJECT_SOURCE_DIR}/src/platform/rtfreader.cpp
              ${PROJECT_SOURCE_DIR}/src/platform/rtfwriter.cpp
              ${PROJECT_SOURCE_DIR}/src/platform/rtfkeywords.cpp
              ${PROJECT_SOURCE_DIR}/src/platform/codepage.cpp LIBS Qt6::Core)

# SPDX-License-Identifier: GPL-3.0-or-later
# The RTF reader on arbitrary bytes, and the writer on what it read.
vr_add_fuzzer(rtf_read SOURCES ${CMAKE_CURRENT_LIST_DIR}/rtf_read_fuzzer.cpp LIBS vr_text)

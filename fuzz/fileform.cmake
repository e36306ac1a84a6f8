# SPDX-License-Identifier: GPL-3.0-or-later
# Decoding a document file's bytes and writing them back in the form they were read in.
vr_add_fuzzer(file_form SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_form_fuzzer.cpp LIBS vr_text)

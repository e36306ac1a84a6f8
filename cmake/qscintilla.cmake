# SPDX-License-Identifier: GPL-3.0-or-later
# QScintilla, built from a pinned source with our patches and linked statically.
#
# cmake/qscintilla-source.cmake makes the patched tree in the build folder from the
# archives that third_party/qscintilla/SOURCE pins (scripts/qscintilla-source fetches
# them). Why each patch exists is written in its header; third_party/qscintilla/README
# says how to add a patch or move to another version.
include(${CMAKE_CURRENT_LIST_DIR}/qscintilla-source.cmake)

set(VR_QSCI_PIN ${PROJECT_SOURCE_DIR}/third_party/qscintilla/SOURCE)
set(VR_QSCI_ARCHIVE_DIR ${PROJECT_SOURCE_DIR}/.deps/qscintilla-source)
file(GLOB VR_QSCI_PATCHES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/third_party/qscintilla/*.patch)
list(SORT VR_QSCI_PATCHES)
set(VR_QSCI_DIR ${CMAKE_BINARY_DIR}/qscintilla)
vr_qsci_prepare(DEST ${VR_QSCI_DIR} ARCHIVE_DIR ${VR_QSCI_ARCHIVE_DIR} PIN ${VR_QSCI_PIN}
                PATCHES ${VR_QSCI_PATCHES})
# An edited patch, pin or archive runs CMake again at the next build, which re-makes the
# tree; the glob above notices patches added or removed.
vr_qsci_read_pin(${VR_QSCI_PIN} VR_QSCI_VERSION VR_QSCI_ARCHIVES)
set(VR_QSCI_INPUTS ${VR_QSCI_PIN} ${VR_QSCI_PATCHES} ${CMAKE_CURRENT_LIST_DIR}/qscintilla-source.cmake)
while(VR_QSCI_ARCHIVES)
  list(POP_FRONT VR_QSCI_ARCHIVES name sha)
  list(APPEND VR_QSCI_INPUTS ${VR_QSCI_ARCHIVE_DIR}/${name})
endwhile()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VR_QSCI_INPUTS})

file(GLOB VR_QSCI_SOURCES
     ${VR_QSCI_DIR}/src/*.cpp ${VR_QSCI_DIR}/src/*.h ${VR_QSCI_DIR}/src/Qsci/*.h
     ${VR_QSCI_DIR}/scintilla/src/*.cpp ${VR_QSCI_DIR}/scintilla/lexlib/*.cpp
     ${VR_QSCI_DIR}/scintilla/lexers/*.cpp)
add_library(qscintilla STATIC ${VR_QSCI_SOURCES})
set_target_properties(qscintilla PROPERTIES AUTOMOC ON CXX_VISIBILITY_PRESET hidden
                                            POSITION_INDEPENDENT_CODE ON)
target_compile_definitions(qscintilla PRIVATE SCINTILLA_QT SCI_LEXER INCLUDE_DEPRECATED_FEATURES)
target_include_directories(qscintilla PRIVATE ${VR_QSCI_DIR}/src ${VR_QSCI_DIR}/scintilla/include
                                              ${VR_QSCI_DIR}/scintilla/lexlib ${VR_QSCI_DIR}/scintilla/src)
# Users see the Qsci headers and Scintilla's message numbers, as from the installed library.
target_include_directories(qscintilla SYSTEM INTERFACE ${VR_QSCI_DIR}/src ${VR_QSCI_DIR}/scintilla/include)
target_compile_options(qscintilla PRIVATE -w)
target_link_libraries(qscintilla PUBLIC Qt6::Widgets Qt6::PrintSupport)
# Under the sanitizers the library is checked for memory errors (our patches live in it) but
# not for undefined behaviour: Scintilla's own code is not ours to hold to that.
if(VR_SANITIZE)
  target_compile_options(qscintilla PRIVATE -fno-sanitize=undefined)
endif()

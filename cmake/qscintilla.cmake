# SPDX-License-Identifier: GPL-3.0-or-later
# QScintilla, built from Debian's source package with our patches and linked statically.
#
# scripts/qscintilla-source fetches the source (the version of the installed
# libqscintilla2-qt6-dev) into .deps/. At configure time the pristine tree is copied into
# the build folder and every patch of third_party/qscintilla/ is applied in name order; a
# changed patch list or patch re-makes the copy. Why each patch exists is written at the
# top of the patch itself.
file(GLOB VR_QSCI_PATCHES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/third_party/qscintilla/*.patch)
list(SORT VR_QSCI_PATCHES)
file(GLOB VR_QSCI_PRISTINE LIST_DIRECTORIES true ${PROJECT_SOURCE_DIR}/.deps/qscintilla2-*)
if(NOT VR_QSCI_PRISTINE OR NOT EXISTS "${VR_QSCI_PRISTINE}/src/qsciscintilla.cpp")
  message(FATAL_ERROR "QScintilla's source is missing from .deps/: run scripts/setup "
                      "(or scripts/qscintilla-source) first.")
endif()

set(VR_QSCI_DIR ${CMAKE_BINARY_DIR}/qscintilla)
set(VR_QSCI_KEY "${VR_QSCI_PRISTINE}")
foreach(patch IN LISTS VR_QSCI_PATCHES)
  file(SHA256 ${patch} sum)
  string(APPEND VR_QSCI_KEY ";${sum}")
endforeach()
set(VR_QSCI_STAMP ${VR_QSCI_DIR}/.patched)
set(VR_QSCI_OLD_KEY "")
if(EXISTS ${VR_QSCI_STAMP})
  file(READ ${VR_QSCI_STAMP} VR_QSCI_OLD_KEY)
endif()
if(NOT VR_QSCI_OLD_KEY STREQUAL VR_QSCI_KEY)
  message(STATUS "Preparing QScintilla from ${VR_QSCI_PRISTINE}")
  file(REMOVE_RECURSE ${VR_QSCI_DIR})
  file(MAKE_DIRECTORY ${VR_QSCI_DIR})
  file(COPY ${VR_QSCI_PRISTINE}/src ${VR_QSCI_PRISTINE}/scintilla DESTINATION ${VR_QSCI_DIR})
  foreach(patch IN LISTS VR_QSCI_PATCHES)
    execute_process(COMMAND patch -p1 --quiet --forward -i ${patch}
                    WORKING_DIRECTORY ${VR_QSCI_DIR} RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "QScintilla patch ${patch} does not apply")
    endif()
  endforeach()
  file(WRITE ${VR_QSCI_STAMP} "${VR_QSCI_KEY}")
endif()

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

# SPDX-License-Identifier: GPL-3.0-or-later
# QScintilla's patched source tree, made from pinned archives.
#
# third_party/qscintilla/SOURCE pins the source: a version and the SHA-256 of each archive
# (Debian's source package: the upstream tarball and Debian's packaging with its patches).
# scripts/qscintilla-source fetches the archives into .deps/qscintilla-source/. Here each
# archive is checked against its pin, unpacked, Debian's patches and then ours
# (third_party/qscintilla/*.patch, in name order) are applied, and the result replaces
# the tree in the build folder file by file: a file whose bytes did not change keeps its
# time stamp, every other one gets a new one, so an incremental build recompiles exactly
# what a changed patch touched (also when a patch is removed and a file goes back to an
# older text). Nothing is done when the archives, the patches and this file are the same
# as the last time.

include_guard(GLOBAL)

# vr_qsci_read_pin(PIN VERSION_VAR ARCHIVES_VAR): the version and the list of archives of
# a pin file, ARCHIVES_VAR as name;sha256;name;sha256... in the file's order. Lines are
#   version <version>
#   sha256 <64 hex digits> <file name>
#   snapshot <time on snapshot.debian.org> (for scripts/qscintilla-source only)
# and comments (#) or blank lines.
function(vr_qsci_read_pin pin version_var archives_var)
  if(NOT EXISTS "${pin}")
    message(FATAL_ERROR "The pin of QScintilla's source, ${pin}, is missing.")
  endif()
  file(STRINGS "${pin}" lines)
  set(version "")
  set(archives "")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    elseif(line MATCHES "^snapshot[ \t]")
      continue()
    elseif(line MATCHES "^version[ \t]+([^ \t]+)$")
      set(version "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^sha256[ \t]+([0-9a-f]+)[ \t]+([^ \t/]+)$")
      string(LENGTH "${CMAKE_MATCH_1}" digits)
      if(NOT digits EQUAL 64)
        message(FATAL_ERROR "${pin}: the SHA-256 of ${CMAKE_MATCH_2} has ${digits} digits, not 64.")
      endif()
      list(APPEND archives "${CMAKE_MATCH_2}" "${CMAKE_MATCH_1}")
    else()
      message(FATAL_ERROR "${pin}: cannot read the line \"${line}\".")
    endif()
  endforeach()
  if(version STREQUAL "" OR NOT archives)
    message(FATAL_ERROR "${pin} names no version or no archive.")
  endif()
  set(${version_var} "${version}" PARENT_SCOPE)
  set(${archives_var} "${archives}" PARENT_SCOPE)
endfunction()

# vr_qsci_check_archives(DIR ARCHIVES PIN): stops with a message saying what to do when
# an archive is missing or its bytes are not the pinned ones.
function(vr_qsci_check_archives dir archives pin)
  while(archives)
    list(POP_FRONT archives name sha)
    set(path "${dir}/${name}")
    if(NOT EXISTS "${path}")
      message(FATAL_ERROR "QScintilla's source archive ${name} is missing from ${dir}/: "
                          "run scripts/qscintilla-source (scripts/setup runs it) to fetch it.")
    endif()
    file(SHA256 "${path}" actual)
    if(NOT actual STREQUAL sha)
      message(FATAL_ERROR "QScintilla's source archive ${path} is not the pinned one.\n"
                          "  SHA-256 pinned in ${pin}:\n    ${sha}\n"
                          "  SHA-256 of the archive:\n    ${actual}\n"
                          "Delete it and run scripts/qscintilla-source to fetch it again. To move "
                          "to another version, follow third_party/qscintilla/README.")
    endif()
  endwhile()
endfunction()

# Applies one patch with -pN in dir; stops with patch's own report when it does not apply
# exactly (no fuzz: a hunk that only fits loosely may land in the wrong place).
function(_vr_qsci_apply patch strip dir what)
  find_program(VR_PATCH_PROGRAM patch)
  if(NOT VR_PATCH_PROGRAM)
    message(FATAL_ERROR "Making QScintilla's source needs the program patch: run scripts/setup.")
  endif()
  execute_process(COMMAND ${VR_PATCH_PROGRAM} -p${strip} --forward --batch --fuzz=0
                          --no-backup-if-mismatch --reject-file=- -i "${patch}"
                  WORKING_DIRECTORY "${dir}" RESULT_VARIABLE failed OUTPUT_VARIABLE out
                  ERROR_VARIABLE out)
  if(failed)
    message(FATAL_ERROR "${what} ${patch} does not apply to QScintilla's source with the "
                        "patches before it:\n${out}")
  endif()
endfunction()

# vr_qsci_prepare(DEST dir ARCHIVE_DIR dir PIN file PATCHES patch... [PARTS folder...])
# Makes DEST hold the PARTS (default src and scintilla) of the pinned source with the
# patches applied, as described at the top of this file.
function(vr_qsci_prepare)
  cmake_parse_arguments(Q "" "DEST;ARCHIVE_DIR;PIN" "PATCHES;PARTS" ${ARGN})
  if(NOT Q_PARTS)
    set(Q_PARTS src scintilla)
  endif()
  vr_qsci_read_pin("${Q_PIN}" version archives)
  vr_qsci_check_archives("${Q_ARCHIVE_DIR}" "${archives}" "${Q_PIN}")

  # What the tree is made from: the archives' sums, each patch's name and sum, this file.
  set(key "${archives};${Q_PARTS}")
  foreach(patch IN LISTS Q_PATCHES)
    file(SHA256 "${patch}" sum)
    get_filename_component(name "${patch}" NAME)
    string(APPEND key ";${name};${sum}")
  endforeach()
  file(SHA256 "${CMAKE_CURRENT_FUNCTION_LIST_FILE}" sum)
  string(APPEND key ";${sum}")
  set(stamp "${Q_DEST}/.prepared")
  if(EXISTS "${stamp}")
    file(READ "${stamp}" old_key)
    if(old_key STREQUAL key)
      return()
    endif()
  endif()
  list(LENGTH Q_PATCHES count)
  message(STATUS "Preparing QScintilla ${version} with ${count} patches")

  # Unpacked and patched beside the tree, which stays as it was if anything fails.
  set(stage "${Q_DEST}.new")
  file(REMOVE_RECURSE "${stage}")
  file(MAKE_DIRECTORY "${stage}")
  # The first archive holds the source in one top folder; every further one (Debian's
  # packaging, with debian/) is unpacked inside that folder.
  set(top "")
  set(rest "${archives}")
  while(rest)
    list(POP_FRONT rest name sha)
    if(top STREQUAL "")
      file(ARCHIVE_EXTRACT INPUT "${Q_ARCHIVE_DIR}/${name}" DESTINATION "${stage}")
      file(GLOB top LIST_DIRECTORIES true "${stage}/*")
      list(LENGTH top folders)
      if(NOT folders EQUAL 1 OR NOT IS_DIRECTORY "${top}")
        message(FATAL_ERROR "${name} does not hold its source in one top folder.")
      endif()
    else()
      file(ARCHIVE_EXTRACT INPUT "${Q_ARCHIVE_DIR}/${name}" DESTINATION "${top}")
    endif()
  endwhile()
  # Debian's own patches (a quilt series: one patch a line, an optional -pN after it).
  if(EXISTS "${top}/debian/patches/series")
    file(STRINGS "${top}/debian/patches/series" series)
    foreach(line IN LISTS series)
      string(REGEX REPLACE "#.*" "" line "${line}")
      string(STRIP "${line}" line)
      if(line STREQUAL "")
        continue()
      endif()
      set(strip 1)
      if(line MATCHES "^([^ \t]+)[ \t]+-p([0-9]+)$")
        set(line "${CMAKE_MATCH_1}")
        set(strip "${CMAKE_MATCH_2}")
      endif()
      _vr_qsci_apply("${top}/debian/patches/${line}" ${strip} "${top}" "Debian's patch")
    endforeach()
  endif()
  foreach(patch IN LISTS Q_PATCHES)
    _vr_qsci_apply("${patch}" 1 "${top}" "The patch")
  endforeach()

  # Into the tree: changed and new files with a fresh time stamp, the rest untouched.
  set(globs "")
  set(old_globs "")
  foreach(part IN LISTS Q_PARTS)
    list(APPEND globs "${top}/${part}/*")
    list(APPEND old_globs "${Q_DEST}/${part}/*")
  endforeach()
  file(GLOB_RECURSE files RELATIVE "${top}" ${globs})
  set(old_files "")
  if(IS_DIRECTORY "${Q_DEST}")
    file(GLOB_RECURSE old_files RELATIVE "${Q_DEST}" ${old_globs})
  endif()
  foreach(file IN LISTS files)
    if(EXISTS "${Q_DEST}/${file}")
      file(SHA256 "${top}/${file}" new_sum)
      file(SHA256 "${Q_DEST}/${file}" old_sum)
      if(new_sum STREQUAL old_sum)
        continue()
      endif()
    endif()
    get_filename_component(folder "${Q_DEST}/${file}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(RENAME "${top}/${file}" "${Q_DEST}/${file}")
    file(TOUCH "${Q_DEST}/${file}")
  endforeach()
  if(old_files)
    list(REMOVE_ITEM old_files ${files})
    foreach(file IN LISTS old_files)
      file(REMOVE "${Q_DEST}/${file}")
    endforeach()
  endif()
  file(REMOVE_RECURSE "${stage}")
  file(WRITE "${stamp}" "${key}")
endfunction()

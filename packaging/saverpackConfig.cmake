# saverpack for an author's CMake project: find_package(saverpack) reads this
# file where a release put it (share/saverpack/cmake/ under the prefix of the
# Debian package, the Linux archive and `cmake --install`; the folder of the
# Windows zip), and finds the tool beside it.
#
#   saverpack_add_package(NAME INI FILE SCREENSAVER TARGET [SIGN COMMAND]
#                         [OUTPUT FILE] [DEPENDS FILE...])
#
# adds the target NAME, built by default, which builds the setup package
# OUTPUT (default: NAME.exe in the current binary folder) after TARGET, the
# screensaver: `saverpack build FILE -o OUTPUT --screensaver <TARGET's file>
# [--sign COMMAND]`. FILE is a package file (`saverpack init` writes one);
# its other paths are relative to its own folder. DEPENDS names more files
# the package is built from (readme, licence). When cross-compiling, point
# CMake at this folder: -Dsaverpack_DIR=/usr/share/saverpack/cmake.
include_guard(GLOBAL)

foreach(candidate "${CMAKE_CURRENT_LIST_DIR}/saverpack.exe"
                  "${CMAKE_CURRENT_LIST_DIR}/../../../bin/saverpack")
  if(EXISTS "${candidate}")
    get_filename_component(SAVERPACK_EXECUTABLE "${candidate}" ABSOLUTE)
    break()
  endif()
endforeach()
if(NOT SAVERPACK_EXECUTABLE)
  set(saverpack_FOUND FALSE)
  set(saverpack_NOT_FOUND_MESSAGE "no saverpack program beside ${CMAKE_CURRENT_LIST_FILE}")
  return()
endif()

function(saverpack_add_package name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "INI;SCREENSAVER;SIGN;OUTPUT" "DEPENDS")
  if(NOT arg_INI OR NOT arg_SCREENSAVER)
    message(FATAL_ERROR "saverpack_add_package(${name}): INI and SCREENSAVER are required")
  endif()
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "saverpack_add_package(${name}): unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  get_filename_component(ini "${arg_INI}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  set(output "${CMAKE_CURRENT_BINARY_DIR}/${name}.exe")
  if(arg_OUTPUT)
    get_filename_component(output "${arg_OUTPUT}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
  endif()
  set(sign)
  if(DEFINED arg_SIGN)
    set(sign --sign "${arg_SIGN}")
  endif()
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${SAVERPACK_EXECUTABLE}" build "${ini}" -o "${output}"
            --screensaver "$<TARGET_FILE:${arg_SCREENSAVER}>" ${sign}
    DEPENDS ${arg_SCREENSAVER} "${ini}" ${arg_DEPENDS}
    COMMENT "Building the setup package ${output}"
    VERBATIM)
  add_custom_target(${name} ALL DEPENDS "${output}")
endfunction()

# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lunora developers
#
# Run as "cmake -P" by the build of the Debian package: writes the manual page of one
# program with help2man from its --help, adds the sections of resources/man/<name>.h2m
# (its NAME line among them: help2man would mangle a non-ASCII --name)
# and compresses it as Debian wants (gzip -9n: no name or time stamp inside). The texts
# are UTF-8: help2man reads and writes them in the C.UTF-8 locale, which every Debian has.
# Variables: PROGRAM (the built executable), INCLUDE, VERSION, PREFIX (the installation
# prefix), OUTPUT (the .1.gz to write).
#
# lunora --help names the folder the data folder template is installed in, worked out
# from where the program lies; from the build tree that is a folder of the build, so
# the build's prefix is replaced by the installation prefix.
find_program(HELP2MAN help2man REQUIRED)
execute_process(
    COMMAND ${HELP2MAN} --no-info --locale=C.UTF-8 --section=1 "--version-string=${VERSION}"
            "--include=${INCLUDE}" "${PROGRAM}"
    OUTPUT_VARIABLE page
    RESULT_VARIABLE rc
    ERROR_VARIABLE errors)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "help2man ${PROGRAM} failed: ${errors}")
endif()

file(REAL_PATH "${PROGRAM}" program)
get_filename_component(build_prefix "${program}" DIRECTORY)
get_filename_component(build_prefix "${build_prefix}" DIRECTORY)
# help2man writes a '-' in running text as '\-'.
string(REPLACE "-" "\\-" build_prefix_roff "${build_prefix}")
string(REPLACE "-" "\\-" prefix_roff "${PREFIX}")
string(REPLACE "${build_prefix_roff}/" "${prefix_roff}/" page "${page}")
string(REPLACE "${build_prefix}/" "${PREFIX}/" page "${page}")
string(FIND "${page}" "${build_prefix}" leak)
string(FIND "${page}" "${build_prefix_roff}" leak_roff)
if(NOT leak EQUAL -1 OR NOT leak_roff EQUAL -1)
    message(FATAL_ERROR "the manual page of ${PROGRAM} names the build folder ${build_prefix}")
endif()

set(plain "${OUTPUT}.tmp")
file(WRITE "${plain}" "${page}")
execute_process(COMMAND gzip -9n -c INPUT_FILE "${plain}" OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE rc)
file(REMOVE "${plain}")
if(NOT rc EQUAL 0)
    file(REMOVE "${OUTPUT}")
    message(FATAL_ERROR "gzip could not compress the manual page of ${PROGRAM}")
endif()

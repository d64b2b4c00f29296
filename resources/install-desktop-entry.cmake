# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lunora developers
# Run by "cmake --install": writes lunora.desktop beside the installed program with the
# absolute paths of the program and its icon, so that the entry works wherever the
# portable folder was laid out.
get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
file(READ "${CMAKE_CURRENT_LIST_DIR}/lunora.desktop" entry)
string(REPLACE "Exec=lunora" "Exec=\"${prefix}/lunora\"" entry "${entry}")
string(REPLACE "Icon=lunora" "Icon=${prefix}/lunora.png" entry "${entry}")
set(target "$ENV{DESTDIR}${prefix}/lunora.desktop")
message(STATUS "Installing: ${target}")
file(WRITE "${target}" "${entry}")

# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lunora developers
#
# The Debian package: "cpack -G DEB" in a build configured with
# -DLUNORA_SYSTEM_INSTALL=ON (scripts/ci-package does it). The package's dependencies
# come from dpkg-shlibdeps, so they name the Qt and C++ libraries the program links.
set(CPACK_PACKAGE_NAME lunora)
set(CPACK_PACKAGE_VENDOR "The Lunora developers")
set(CPACK_PACKAGE_CONTACT "The Lunora developers <lunora@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "case register for the counter of a small shop or service desk")
set(CPACK_PACKAGE_DESCRIPTION
    "Lunora keeps the customer cases of a shop or service desk: staff sign in, see every\n"
    "case in one sortable list, type the customer and the article rows, see at once\n"
    "whether the customer is to pay or is owed a credit, and print the case as an A4\n"
    "sheet with the shop's name lines and logo. All data lives in plain text and INI\n"
    "files in a data folder per user. The program's texts are Swedish.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Liberation fonts carry the metrics the windows and the printed sheet are laid out in.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_GENERATOR DEB)
include(CPack)

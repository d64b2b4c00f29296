# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lunora developers
#
# The Debian package: "cpack -G DEB" in a build configured with
# -DLUNORA_SYSTEM_INSTALL=ON; scripts/build-package does it with the compiler and linker
# flags of dpkg-buildflags. The package's dependencies come from dpkg-shlibdeps, so they
# name the Qt and C++ libraries the program links.
set(CPACK_PACKAGE_NAME lunora)
set(CPACK_PACKAGE_VENDOR "The Lunora developers")
# The project has no mailing list yet: the address is in the reserved domain .invalid,
# so that it can reach nobody, and says so. Replace it once there is a list.
set(CPACK_PACKAGE_CONTACT "The Lunora developers <no-mailing-list-yet@lunora.invalid>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "case register for the counter of a small shop or service desk")
# Debian shows each line as it stands: at most 80 characters with the leading blank.
set(CPACK_PACKAGE_DESCRIPTION
    "Lunora keeps the customer cases of a shop or service desk: staff sign in,\n"
    "see every case in one sortable list, type the customer and the article\n"
    "rows, see at once whether the customer is to pay or is owed a credit, and\n"
    "print the case as an A4 sheet with the shop's name lines and logo. All\n"
    "data lives in plain text and INI files in a data folder per user. The\n"
    "program's texts are Swedish.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's Swedish catalogue is a data file no library links: dpkg-shlibdeps cannot see it, so
# it is named here and CPack adds the libraries' dependencies after it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
# The Liberation fonts carry the metrics the windows and the printed sheet are laid out in.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_GENERATOR DEB)
include(CPack)

if(LUNORA_SYSTEM_INSTALL)
    # What Debian wants beside the programs: a manual page for each, made from its
    # --help so that it always lists the options the program takes, and the changelog
    # (of a native package: changelog.gz), both compressed without a time stamp.
    set(man_pages)
    foreach(program IN ITEMS lunora lunora-adduser lunora-backup)
        if(NOT TARGET ${program})
            continue()
        endif()
        set(page ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
        set(include ${PROJECT_SOURCE_DIR}/resources/man/${program}.h2m)
        add_custom_command(OUTPUT ${page}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
            COMMAND ${CMAKE_COMMAND} "-DPROGRAM=$<TARGET_FILE:${program}>"
                    -DINCLUDE=${include} -DVERSION=${PROJECT_VERSION} -DPREFIX=${CMAKE_INSTALL_PREFIX}
                    -DOUTPUT=${page} -P ${PROJECT_SOURCE_DIR}/cmake/make-manpage.cmake
            DEPENDS ${program} ${include} ${PROJECT_SOURCE_DIR}/cmake/make-manpage.cmake
            COMMENT "Writing the manual page of ${program}"
            VERBATIM)
        list(APPEND man_pages ${page})
    endforeach()
    set(changelog ${CMAKE_BINARY_DIR}/changelog.gz)
    add_custom_command(OUTPUT ${changelog}
        COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/resources/debian-changelog > ${changelog}
        DEPENDS ${PROJECT_SOURCE_DIR}/resources/debian-changelog
        COMMENT "Compressing the Debian changelog")
    add_custom_target(lunora_debian_docs ALL DEPENDS ${man_pages} ${changelog})
    install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${changelog} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lunora)
    # A lintian warning that has to stay is overridden there, each with its reason in a
    # comment above it (scripts/ci-package fails on any other). There is none today.
    if(EXISTS ${PROJECT_SOURCE_DIR}/resources/lintian-overrides)
        install(FILES ${PROJECT_SOURCE_DIR}/resources/lintian-overrides
            DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME lunora)
    endif()
endif()

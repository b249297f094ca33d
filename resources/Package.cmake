# SPDX-License-Identifier: MIT
# The Debian package: `cpack` in a build folder configured with -DCMAKE_INSTALL_PREFIX=/usr and
# -DCMAKE_INSTALL_BINDIR=games makes marrowgate_<version>_<arch>.deb from what `cmake --install`
# installs, plus the copyright file and the changelog that Debian asks of every package (installed
# into the package only). Debian's files live under /usr, with games in /usr/games; the program looks
# for its sounds under the prefix it was built for, so only such a build can make the package.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr" AND CMAKE_INSTALL_BINDIR STREQUAL "games")
    set(MARROWGATE_DEBIAN_LAYOUT ON)
else()
    set(MARROWGATE_DEBIAN_LAYOUT OFF)
endif()
set(MARROWGATE_DEBIAN_LAYOUT_HINT
    "A Debian package needs a build configured with -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games")
set(MARROWGATE_MAINTAINER "The Marrowgate developers <marrowgate@users.noreply.github.com>"
    CACHE STRING "The Debian package's maintainer: a name and an e-mail address")

# The licence text as a copyright file's paragraph: indented by one space, empty lines as " .".
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" license)
string(FIND "${license}" "Permission" permission_start)
string(SUBSTRING "${license}" ${permission_start} -1 license)
string(STRIP "${license}" license)
string(REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " MARROWGATE_LICENSE_TEXT " ${license}")

# The changelog wants the date as in e-mail headers.
execute_process(COMMAND date -u -R -d "${MARROWGATE_RELEASE_DATE} 12:00"
    OUTPUT_VARIABLE MARROWGATE_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT MARROWGATE_RELEASE_DATE_RFC2822)
    message(FATAL_ERROR "MARROWGATE_RELEASE_DATE is not a date: ${MARROWGATE_RELEASE_DATE}")
endif()

# Every file in the package carries this time, so that two builds of one commit give the same bytes:
# the release's noon, unless SOURCE_DATE_EPOCH is set when cpack runs.
execute_process(COMMAND date -u -d "${MARROWGATE_RELEASE_DATE} 12:00" +%s
    OUTPUT_VARIABLE MARROWGATE_RELEASE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE)

set(debian_dir "${PROJECT_BINARY_DIR}/debian")
configure_file(resources/debian/copyright.in "${debian_dir}/copyright" @ONLY)
configure_file(resources/debian/changelog.in "${debian_dir}/changelog" @ONLY)
add_custom_command(OUTPUT "${debian_dir}/changelog.gz"
    COMMAND gzip -9 -n -f -k "${debian_dir}/changelog"
    DEPENDS "${debian_dir}/changelog"
    COMMENT "Compressing the Debian changelog")
add_custom_target(marrowgate_debian_changelog ALL DEPENDS "${debian_dir}/changelog.gz")
install(FILES "${debian_dir}/copyright" "${debian_dir}/changelog.gz"
    DESTINATION "${MARROWGATE_DOC_INSTALL_DIR}" COMPONENT debian EXCLUDE_FROM_ALL)

# Everything else is in the default component; the package takes both.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${PROJECT_BINARY_DIR};${PROJECT_NAME};Unspecified;/" "${PROJECT_BINARY_DIR};${PROJECT_NAME};debian;/")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marrowgate)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The Marrowgate developers")
set(CPACK_PACKAGE_CONTACT "${MARROWGATE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/resources/debian/check-layout.cmake")
set(CPACK_MARROWGATE_DEBIAN_LAYOUT ${MARROWGATE_DEBIAN_LAYOUT})
set(CPACK_MARROWGATE_DEBIAN_LAYOUT_HINT "${MARROWGATE_DEBIAN_LAYOUT_HINT}")
set(CPACK_MARROWGATE_RELEASE_EPOCH "${MARROWGATE_RELEASE_EPOCH}")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn-based strategy game for one shared screen")
set(CPACK_PACKAGE_DESCRIPTION "Four nations, Ruritania, Molotavia, Norland and Stamark, race to explore an
island of 19 spaces. Each nation is played by a person, with the mouse, or by
the computer.
.
Every round each nation moves to a neighbouring space, forages, garrisons its
space or waits; the first to have stood on every space wins. The art, the music
and the sounds are made by the game's own programs.")

include(CPack)

# SPDX-License-Identifier: MIT
# Read by cpack for every package it makes: it refuses a Debian package from a build whose program
# would look for its files elsewhere than where the package puts them, and dates every file in the
# archives at the release unless SOURCE_DATE_EPOCH says otherwise.
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT CPACK_MARROWGATE_DEBIAN_LAYOUT)
    message(FATAL_ERROR "${CPACK_MARROWGATE_DEBIAN_LAYOUT_HINT}")
endif()
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} OR "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
    set(ENV{SOURCE_DATE_EPOCH} "${CPACK_MARROWGATE_RELEASE_EPOCH}")
endif()

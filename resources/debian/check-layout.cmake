# SPDX-License-Identifier: MIT
# Read by cpack for every package it makes: it refuses a Debian package from a build whose program
# would look for its files elsewhere than where the package puts them.
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT CPACK_MARROWGATE_DEBIAN_LAYOUT)
    message(FATAL_ERROR "${CPACK_MARROWGATE_DEBIAN_LAYOUT_HINT}")
endif()

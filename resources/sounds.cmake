# SPDX-License-Identifier: MIT
# The four sound files: copied beside the executable at build time, so the game runs from the build
# folder, and installed into the data directory, where an installed game looks for them. The install
# destination is relative, so that it follows --prefix and DESTDIR; with the configured prefix it is
# MARROWGATE_DATA_DIR/sounds, the directory compiled into the game.
set(MARROWGATE_SOUND_FILES click.ogg forage.ogg garrison.ogg music.ogg)
set(sound_copies "")
foreach(sound IN LISTS MARROWGATE_SOUND_FILES)
    set(source "${CMAKE_CURRENT_SOURCE_DIR}/sounds/${sound}")
    set(copy "${PROJECT_BINARY_DIR}/sounds/${sound}")
    add_custom_command(OUTPUT "${copy}"
        COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${source}" "${copy}"
        DEPENDS "${source}"
        COMMENT "Copying sound ${sound}")
    list(APPEND sound_copies "${copy}")
    install(FILES "${source}" DESTINATION "${CMAKE_INSTALL_DATADIR}/marrowgate/sounds")
endforeach()
add_custom_target(marrowgate_sounds ALL DEPENDS ${sound_copies})
if(TARGET marrowgate)
    add_dependencies(marrowgate marrowgate_sounds)
endif()

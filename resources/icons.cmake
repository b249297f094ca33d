# SPDX-License-Identifier: MIT
# The desktop icon, drawn by tools/art/generate_art.py, installed into the hicolor theme at every size
# it is drawn at, under the application id that the desktop entry and the metainfo name.
foreach(size 16 24 32 48 64 128 256)
    install(FILES "${CMAKE_CURRENT_SOURCE_DIR}/icons/${size}x${size}/marrowgate.png"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
        RENAME "${MARROWGATE_APP_ID}.png")
endforeach()

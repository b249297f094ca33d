# SPDX-License-Identifier: MIT
# The desktop icon, drawn by tools/art/generate_art.py, installed into the hicolor theme at every size
# it is drawn at (the desktop entry names it Icon=marrowgate).
foreach(size 16 24 32 48 64 128 256)
    install(FILES "${CMAKE_CURRENT_SOURCE_DIR}/icons/${size}x${size}/marrowgate.png"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
endforeach()

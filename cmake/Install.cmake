# `cmake --install` (and the Debian package, cmake/Package.cmake) puts the
# program folder under the prefix, `kelvaro` and `morlenc` on PATH, the
# desktop entry, the icon in the theme's sizes, the AppStream metadata, the
# manual pages and the copyright, so Kelvaro appears in the desktop's menus,
# its software centre and its "Open with" for video files.
include(GNUInstallDirs)

# A private folder of the package's own, /usr/lib/kelvaro for a /usr prefix.
set(KELVARO_INSTALL_FOLDER lib/kelvaro)

install(TARGETS kelvaro morlenc morlenc-probe morlenc-convert RUNTIME DESTINATION ${KELVARO_INSTALL_FOLDER})
install(FILES ${KELVARO_PROGRAM_DIR}/tips.txt ${KELVARO_PROGRAM_DIR}/version.ini DESTINATION ${KELVARO_INSTALL_FOLDER})
install(DIRECTORY ${KELVARO_PROGRAM_DIR}/help DESTINATION ${KELVARO_INSTALL_FOLDER})

# The commands are links: the programs find their folder through the real
# path of their executable, so the encoder and the pages are found beside
# them. The encoder is useful on its own from scripts.
foreach(program kelvaro morlenc)
    install(CODE "
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(CREATE_LINK ../${KELVARO_INSTALL_FOLDER}/${program}
             \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" SYMBOLIC)
    ")
endforeach()

install(FILES ${CMAKE_SOURCE_DIR}/res/desktop/kelvaro.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/res/pictures/icon128.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME kelvaro.svg)
foreach(size IN LISTS KELVARO_ICON_SIZES)
    install(FILES ${KELVARO_DESKTOP_DIR}/icons/${size}/kelvaro.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${KELVARO_DESKTOP_DIR}/org.example.kelvaro.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${KELVARO_DESKTOP_DIR}/man/ DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        FILES_MATCHING PATTERN "*.1.gz")
install(FILES ${CMAKE_SOURCE_DIR}/res/desktop/copyright ${KELVARO_DESKTOP_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kelvaro)

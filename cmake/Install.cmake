# `cmake --install` puts the program folder under the prefix, a `kelvaro`
# launcher on PATH, and the desktop entry and icon that list Kelvaro in the
# desktop's menus and its "Open with" for video files.
include(GNUInstallDirs)

set(KELVARO_INSTALL_FOLDER ${CMAKE_INSTALL_LIBDIR}/kelvaro)

install(TARGETS kelvaro morlenc RUNTIME DESTINATION ${KELVARO_INSTALL_FOLDER})
install(FILES ${KELVARO_PROGRAM_DIR}/tips.txt DESTINATION ${KELVARO_INSTALL_FOLDER})
install(DIRECTORY ${KELVARO_PROGRAM_DIR}/help DESTINATION ${KELVARO_INSTALL_FOLDER})

# The launcher is a link: the program finds its folder through the real
# path of its executable, so the encoder and the pages are found beside it.
install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK ../${KELVARO_INSTALL_FOLDER}/kelvaro
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/kelvaro\" SYMBOLIC)
")

install(FILES ${CMAKE_SOURCE_DIR}/res/desktop/kelvaro.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/res/pictures/icon128.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME kelvaro.svg)

# The Debian package, made by CPack from the same build and install rules as
# `cmake --install` (scripts/package runs it): kelvaro_<version>_amd64.deb.
set(KELVARO_MAINTAINER "The Kelvaro authors <maintainers@kelvaro.example.org>" CACHE STRING
    "Maintainer of the Debian package, for a packager to set")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvaro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Kelvaro authors")
set(CPACK_PACKAGE_CONTACT ${KELVARO_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KELVARO_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KELVARO_HOME_PAGE_URL})
# CPack indents the lines after the first itself; an empty line becomes " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "convert videos for a portable media player
Kelvaro turns a batch of video files (AVI, DivX, XviD, MPEG, WMV, ASF,
RealMedia, QuickTime, 3GP, MP4, M4V, FLV) into MP4 files that a classic
portable media player plays: MPEG-4 video at 29.97 frames per second and
AAC sound at 44100 Hz, in the picture size chosen, with black bars to keep
the picture's shape if wanted, and louder or quieter sound if needed.

Files are previewed in the window before converting; a progress window
shows the time left and can cancel. The converting is done by its own
encoder, morlenc, on the FFmpeg libraries, which is also useful on its own
from scripts.")
# The libraries the programs link are found by dpkg-shlibdeps. Qt loads two
# plugins at run time only, which no linking reveals: the FFmpeg backend of
# the preview (in libqt6multimedia6) and the SVG picture plugin that draws
# the icons (in libqt6svg6); they are named here, at the versions Debian 12
# has, even though today's linking happens to pull both packages in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6multimedia6 (>= 6.4), libqt6svg6 (>= 6.4)")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)

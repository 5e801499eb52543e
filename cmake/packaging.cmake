# make package: a Debian package of the installed layout.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velkor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_VENDOR "Velkor Software")
set(CPACK_PACKAGE_CONTACT "Velkor Software <support@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch video converter for phones, the web and players")
# CPack puts the summary above these lines as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Gathers videos into a task list, converts them with a chosen profile
(3GP for phones, MP4, Matroska, WebM and more) through FFmpeg, and previews
each input in a small player.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.example.com/)
set(CPACK_STRIP_FILES ON)
# The shared libraries the executables link, found by dpkg-shlibdeps, and what they start or load.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The encoder loads libavutil, libavformat and libavcodec itself, only when it needs them, so
# dpkg-shlibdeps cannot see them: they are named here, at the major versions it was built for.
string(REGEX MATCH "^[0-9]+" VELKOR_AVFORMAT_MAJOR "${LIBAV_libavformat_VERSION}")
string(REGEX MATCH "^[0-9]+" VELKOR_AVCODEC_MAJOR "${LIBAV_libavcodec_VERSION}")
string(REGEX MATCH "^[0-9]+" VELKOR_AVUTIL_MAJOR "${LIBAV_libavutil_VERSION}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "ffmpeg, libavformat${VELKOR_AVFORMAT_MAJOR}, libavcodec${VELKOR_AVCODEC_MAJOR}, libavutil${VELKOR_AVUTIL_MAJOR}, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-libav")
# Spreads batches of the headless mode over cores and machines, as the README shows.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "parallel")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)

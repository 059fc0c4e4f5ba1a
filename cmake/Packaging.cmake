# CPack: `cpack -G DEB` makes a Debian package installed under /usr, its
# dependencies found from the shared libraries the program links;
# `cpack -G TGZ` a relocatable tarball (bin/, share/) that runs wherever it
# is unpacked, since the program finds its archive through its own location.
set(CPACK_PACKAGE_NAME zephran)
set(CPACK_PACKAGE_VENDOR "Zephran Emberfall developers")
set(CPACK_PACKAGE_CONTACT "Zephran Emberfall developers <developers@zephran.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audiovisual demo Zephran Emberfall 2010")
set(CPACK_PACKAGE_DESCRIPTION "One programme of nine real-time OpenGL effects, 225.5 seconds long,
synchronised to its own song at 129.5 beats per minute. A launcher dialog
chooses the display mode; without a display the demo renders any frame, or
the whole programme as a video with its song.")
set(CPACK_GENERATOR "DEB;TGZ")
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build.*/;/\\\\.git/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL opens the GL and EGL libraries at run time, and captures to video run
# ffmpeg: neither shows in the linked libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg")
# Debian wants manual pages and changelogs compressed; the tarball and
# `cmake --install` keep them plain.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageCompress.cmake)
include(CPack)

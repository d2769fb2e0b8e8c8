# The Debian package: `make package` at the top, or the `package` target.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovalen)
set(CPACK_PACKAGE_VENDOR "Tovalen")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find network cameras and change their IP address across subnets")
# CPack writes an apostrophe in this text as &apos;: keep the text free of them.
set(CPACK_PACKAGE_DESCRIPTION_FILE ${CMAKE_CURRENT_SOURCE_DIR}/description.txt)
set(CPACK_PACKAGE_CONTACT "${TOVALEN_MAINTAINER}")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TOVALEN_HOMEPAGE}")
# Qt 6 and the C++ runtime, as dpkg-shlibdeps finds them in the binaries, and
# Qt's own translations, for the Chinese texts of its standard buttons and menus.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-translations-l10n)
# The interface is Chinese and needs a CJK font; any will do, so this one, the
# font the project is tested with, is only recommended.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-wqy-microhei)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)

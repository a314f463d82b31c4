# A Debian package of the installed program (bin, menu entry, icons,
# metainfo, firewall profiles): `cpack -G DEB` in a build configured with an
# install prefix of /usr, as scripts/package.sh does. The shared libraries it
# needs come from dpkg-shlibdeps; the Japanese font and Qt's Japanese button
# texts are named.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrelbay)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lanterns Orchid")
set(CPACK_PACKAGE_CONTACT "Lanterns Orchid <KestrelBay-Feedback@example.jp>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Reversi for two players on a local network")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "A game of Reversi for the machines of one local network. Players find one\n"
    "another by UDP broadcast, play with moves sent as small datagrams and chat\n"
    "beside the board, or play the built-in computer player.\n"
    "The interface is in Japanese.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# The ufw profile lies under /etc: a configuration file, which dpkg keeps
# as the administrator left it on upgrade and removal.
include(GNUInstallDirs)
set(kestrel_conffiles ${CMAKE_CURRENT_BINARY_DIR}/deb-control/conffiles)
file(WRITE ${kestrel_conffiles} "${CMAKE_INSTALL_FULL_SYSCONFDIR}/ufw/applications.d/kestrelbay\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${kestrel_conffiles})
include(CPack)

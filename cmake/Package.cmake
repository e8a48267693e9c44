# `cpack` in the build directory makes the Debian package of what cmake/Install.cmake installs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME label-printer-setup)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the label-printer-setup developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "settings tool for USB thermal label printers")
# Lines of at most 80 characters; CPack indents them for the control file.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "A desktop tool that reads and changes the stored settings of USB thermal"
  "label printers of the brands Vantrell, Zurod, Orbeck, DVN and H&J: print,"
  "distance, Wi-Fi, Bluetooth, Wi-Fi IP, Ethernet and serial-port settings and"
  "the serial number. It also reads a printer's identity and status, triggers"
  "maintenance actions and downloads encrypted firmware and font files."
  "The package's udev rule gives the user at the seat access to the supported"
  "printers; no root rights are needed to use them.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LABELSETUP_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${LABELSETUP_PROJECT_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The history's journal goes through Qt's SQLite driver, a plugin that no library links and the
# shared-library scan therefore cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5sql5-sqlite")
# Qt's own texts (standard buttons, file dialog, command-line parser messages) in the user's
# language, and a font with Chinese characters: without one the Chinese texts show as boxes.
set(LABELSETUP_PACKAGE_RECOMMENDS "qttranslations5-l10n, fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "${LABELSETUP_PACKAGE_RECOMMENDS}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${LABELSETUP_POSTINST} ${LABELSETUP_POSTRM})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

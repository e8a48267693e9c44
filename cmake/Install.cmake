# What `cmake --install` puts on a Linux desktop: the tool, its desktop entry, icon and AppStream
# metainfo, the udev rule that lets the user at the seat open the supported printers, and the
# command line's manual page and shell completions.
#
# The rule, the metainfo's USB modaliases and the maintainer scripts' vendor ID are written at
# build time by printerfiles from core/printers/supportedprinters.h, the table the printer list
# uses.
include(GNUInstallDirs)

set(LABELSETUP_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING
    "Where the udev rule goes (relative to the install prefix, or absolute)")
set(LABELSETUP_APPSTREAM_ID "org.example.LabelPrinterSetup" CACHE STRING
    "AppStream component ID: the reverse domain name of the project's home")
set(LABELSETUP_PROJECT_URL "https://example.org/label-printer-setup" CACHE STRING
    "The project's home page")
set(LABELSETUP_SCREENSHOT_URL "${LABELSETUP_PROJECT_URL}/docs/screenshot.png" CACHE STRING
    "Where software centres fetch docs/screenshot.png from")
set(LABELSETUP_PACKAGE_MAINTAINER
    "Label printer setup maintainers <maintainers@users.noreply.c-seed-130ef31a.example>" CACHE STRING
    "Maintainer of the Debian package and author of its changelog")

# Before 73-seat-late.rules, which turns the uaccess tag into an ACL for the user at the seat.
set(LABELSETUP_UDEV_RULE 70-label-printer-setup.rules)
set(LABELSETUP_DESKTOP_ID label-printer-setup)
set(LABELSETUP_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/label-printer-setup)

add_executable(printerfiles packaging/printerfiles.cpp)
set_target_properties(printerfiles PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
target_include_directories(printerfiles PRIVATE ${CMAKE_SOURCE_DIR})

set(packaging_in ${CMAKE_SOURCE_DIR}/packaging)
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
set(LABELSETUP_UDEV_RULE_FILE ${packaging_out}/${LABELSETUP_UDEV_RULE})
set(LABELSETUP_METAINFO_FILE ${packaging_out}/${LABELSETUP_APPSTREAM_ID}.metainfo.xml)
set(LABELSETUP_POSTINST ${packaging_out}/postinst)
set(LABELSETUP_POSTRM ${packaging_out}/postrm)
file(MAKE_DIRECTORY ${packaging_out})
add_custom_command(
  OUTPUT ${LABELSETUP_UDEV_RULE_FILE} ${LABELSETUP_METAINFO_FILE} ${LABELSETUP_POSTINST}
         ${LABELSETUP_POSTRM} ${packaging_out}/changelog.gz ${packaging_out}/label-printer-setup.1.gz
         ${packaging_out}/label-printer-cli.1.gz
  COMMAND printerfiles rule ${LABELSETUP_UDEV_RULE_FILE}
  COMMAND printerfiles fill ${packaging_in}/label-printer-setup.metainfo.xml.in
          ${LABELSETUP_METAINFO_FILE} APPSTREAM_ID=${LABELSETUP_APPSTREAM_ID}
          PROJECT_URL=${LABELSETUP_PROJECT_URL} SCREENSHOT_URL=${LABELSETUP_SCREENSHOT_URL}
  COMMAND printerfiles fill ${packaging_in}/debian/postinst.in ${LABELSETUP_POSTINST}
  COMMAND printerfiles fill ${packaging_in}/debian/postrm.in ${LABELSETUP_POSTRM}
  COMMAND printerfiles fill ${packaging_in}/debian/changelog.in ${packaging_out}/changelog
          MAINTAINER=${LABELSETUP_PACKAGE_MAINTAINER}
  COMMAND gzip -9nf ${packaging_out}/changelog
  COMMAND gzip -9nc ${packaging_in}/label-printer-setup.1 > ${packaging_out}/label-printer-setup.1.gz
  COMMAND gzip -9nc ${packaging_in}/label-printer-cli.1 > ${packaging_out}/label-printer-cli.1.gz
  DEPENDS printerfiles ${packaging_in}/label-printer-setup.metainfo.xml.in
          ${packaging_in}/debian/postinst.in ${packaging_in}/debian/postrm.in
          ${packaging_in}/debian/changelog.in ${packaging_in}/label-printer-setup.1
          ${packaging_in}/label-printer-cli.1
  COMMENT "Writing the udev rule, metainfo and maintainer scripts for the supported printers"
  VERBATIM)
# The tool names the rule, and from a build tree the rule this build wrote, when a printer may not
# be opened.
set_property(SOURCE core/printers/printeraccess.cpp APPEND PROPERTY COMPILE_DEFINITIONS
  LABELSETUP_UDEV_RULE="${LABELSETUP_UDEV_RULE}" LABELSETUP_BUILD_DIR="${CMAKE_BINARY_DIR}")
add_custom_target(printerfiles_output ALL
  DEPENDS ${LABELSETUP_UDEV_RULE_FILE} ${LABELSETUP_METAINFO_FILE} ${LABELSETUP_POSTINST}
          ${LABELSETUP_POSTRM} ${packaging_out}/changelog.gz ${packaging_out}/label-printer-setup.1.gz
          ${packaging_out}/label-printer-cli.1.gz)

# The command line's completions for bash, zsh and fish, written from its own command, option and
# page tables. Each is named and placed as its shell looks for it by the command's name: bash-
# completion loads it on the first Tab after the command, zsh from its vendor function folder,
# fish from its vendor completions folder.
add_executable(completionfile packaging/completionfile.cpp)
target_link_libraries(completionfile PRIVATE labelsetup_cli)
set(LABELSETUP_COMPLETION_FILE ${packaging_out}/label-printer-cli)
set(LABELSETUP_ZSH_COMPLETION_FILE ${packaging_out}/_label-printer-cli)
set(LABELSETUP_FISH_COMPLETION_FILE ${packaging_out}/label-printer-cli.fish)
add_custom_command(
  OUTPUT ${LABELSETUP_COMPLETION_FILE} ${LABELSETUP_ZSH_COMPLETION_FILE}
         ${LABELSETUP_FISH_COMPLETION_FILE}
  # A build with the sanitizers runs the writer too; its exit is no place for a leak report.
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:completionfile> ${LABELSETUP_COMPLETION_FILE}
          ${LABELSETUP_ZSH_COMPLETION_FILE} ${LABELSETUP_FISH_COMPLETION_FILE}
  DEPENDS completionfile
  COMMENT "Writing the command line's bash, zsh and fish completions"
  VERBATIM)
add_custom_target(completion_output ALL
  DEPENDS ${LABELSETUP_COMPLETION_FILE} ${LABELSETUP_ZSH_COMPLETION_FILE}
          ${LABELSETUP_FISH_COMPLETION_FILE})

install(TARGETS label-printer-setup label-printer-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${LABELSETUP_COMPLETION_FILE}
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions)
install(FILES ${LABELSETUP_ZSH_COMPLETION_FILE}
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/zsh/vendor-completions)
install(FILES ${LABELSETUP_FISH_COMPLETION_FILE}
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/fish/vendor_completions.d)
install(FILES ${packaging_out}/label-printer-setup.1.gz ${packaging_out}/label-printer-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaging_in}/label-printer-setup.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${packaging_in}/label-printer-setup.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
install(FILES ${LABELSETUP_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES ${LABELSETUP_UDEV_RULE_FILE} DESTINATION ${LABELSETUP_UDEV_RULES_DIR})
install(FILES ${packaging_in}/debian/copyright ${packaging_out}/changelog.gz
        DESTINATION ${LABELSETUP_DOC_DIR})

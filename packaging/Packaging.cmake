# What an install holds, laid out the way a Linux desktop looks for it: the
# program in bin, what it loads at run time in share/halcyra, where it finds
# them (Engine/DataDirectory.h), and the desktop entry, icons and AppStream
# metainfo that put it in the desktop's menus and software centres.
set(HALCYRA_APP_ID io.halcyra.Halcyra)
install(TARGETS halcyra RUNTIME DESTINATION bin)
# The READMEs describe the generated sheets and tiles for their authors.
install(DIRECTORY Assets DESTINATION share/halcyra PATTERN README.txt EXCLUDE)
install(FILES packaging/${HALCYRA_APP_ID}.desktop DESTINATION share/applications)
install(FILES packaging/${HALCYRA_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(DIRECTORY packaging/icons/ DESTINATION share/icons)

# `make package`: a Debian package, its library dependencies found by
# dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME halcyra)
set(CPACK_PACKAGE_VENDOR "The Halcyra developers")
set(CPACK_PACKAGE_CONTACT "The Halcyra developers <developers@halcyra.io>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "2D horror exploration game in a dark house, by candlelight")
# Debian wraps no description: the lines are broken here.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Walk a character through the dark rooms of a house at night, seen from\n"
    "above. Only light makes the rooms visible: the candle you carry burns down,\n"
    "candle holders and lanterns stand in the rooms. Doors, keys, pits, journal\n"
    "pages read aloud, a rain-swept roof and a scripted ending.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://halcyra.io/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

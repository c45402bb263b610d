# The Debian package "tarnhold": what `cmake --install` lays out, under /usr. The stand-in
# utilities and the demo Oracle home are not installed, so they stay out of it.
set(CPACK_GENERATOR DEB)
# The description quotes the README, quotation marks and all.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME tarnhold)
set(CPACK_PACKAGE_VENDOR Tarnhold)
set(CPACK_PACKAGE_CONTACT "Tarnhold developers <tarnhold@users.noreply.github.com>"
    CACHE STRING "The package's maintainer")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Run the database export and import utilities exp and imp from one window")
string(REPLACE "`" "" CPACK_PACKAGE_DESCRIPTION "${TARNHOLD_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TARNHOLD_HOMEPAGE})
# The libraries the program links, with their versions, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)

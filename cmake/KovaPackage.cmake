# Debian packages from the install rules, one per component:
#   kova      the command-line tool, the report generator and the
#             installation data (/usr/share/kova)
#   kova-gui  the desktop program with its entry, file types, icons and
#             AppStream description; needs kova for the data and generator
#   kova-sim  the simulated instrument
# Made by scripts/package.sh (cpack -G DEB in the build folder). The version
# is the project version; the libraries depended on are found by
# dpkg-shlibdeps from the programs themselves.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kova)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Helmark")
set(CPACK_PACKAGE_CONTACT "${KOVA_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL kova kova-gui kova-sim)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE kova)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KOVA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# A package's files are root's, whatever the builder's umask and account.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_COMPONENT_KOVA-GUI_DEPENDS kova)

set(CPACK_DEBIAN_KOVA_PACKAGE_NAME kova)
set(CPACK_DEBIAN_KOVA-GUI_PACKAGE_NAME kova-gui)
set(CPACK_DEBIAN_KOVA-SIM_PACKAGE_NAME kova-sim)
# The report is laid out with Arial and Courier New metrics: Liberation's
# fonts have them. dpkg-shlibdeps sees libraries only, so this one is named.
set(CPACK_DEBIAN_KOVA_PACKAGE_DEPENDS "fonts-liberation2")
set(CPACK_DEBIAN_KOVA-GUI_PACKAGE_DEPENDS "fonts-liberation2")
set(CPACK_DEBIAN_KOVA_PACKAGE_SUGGESTS "kova-gui, kova-sim")
set(CPACK_DEBIAN_KOVA-SIM_PACKAGE_SUGGESTS "kova")

set(CPACK_COMPONENT_KOVA_DESCRIPTION
    "companion program of the KOVA current-transformer test sets (command line)
The command-line tool kova fetches and keeps the test records stored on a
KOVA current-transformer test set (serial port or USB), shows and exports
their reports (text, XML, PDF, workbook, pictures), builds test plans and
runs them on the instrument, and keeps every test of every CT in a record
library (SQLite or PostgreSQL) with its history.

This package also holds the report generator hmReportExport and the
installation data the programs read: the report template, the XML schemas,
the report logo and pictures.")
set(CPACK_COMPONENT_KOVA-GUI_DESCRIPTION
    "companion program of the KOVA current-transformer test sets (desktop)
The desktop program kova-gui shows, prints and exports the test records of
KOVA current-transformer test sets, overlays up to three records, builds
test plans, fetches records from the instrument and runs plans on it, and
browses the record library with each CT's history and trend.

Record files open in it with a double click.")
set(CPACK_COMPONENT_KOVA-SIM_DESCRIPTION
    "simulated KOVA current-transformer test set
kova-sim serves a simulated KOVA instrument (any of its models) on a
pseudo-terminal, with stored tests, plan slots and remote test runs made
from a current-transformer model, so that the companion program's
instrument commands can be tried and tested without the hardware.")

include(CPack)

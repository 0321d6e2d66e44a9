# Two Debian packages from the install components (cmake/install.cmake):
# telpod (the program) and telpod-sim (the simulated driver libraries in the
# program folder's drivers/). Dependencies are computed from the binaries.
#   cpack -G DEB --config <build>/CPackConfig.cmake   (scripts/package)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME telpod)
set(CPACK_PACKAGE_VENDOR "TELPOD Works")
set(CPACK_PACKAGE_CONTACT "TELPOD Works <telpod@example.jp>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL ${TELPOD_COMPONENTS})

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://telpod.example.jp/")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME telpod)
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION
  "CAN frame sender, by hand and on a timetable
TELPOD puts classic CAN frames on a CAN bus from eight message rows:
identifier (11 or 29 bit), data length, data bytes and period. Periodic
rows go out at their period while connected; any row can be sent once.

It drives CANUSB adapters, Interface Corporation boards and Kvaser channels
through their makers' libraries, and the CAN interfaces of the Linux kernel
(SocketCAN). The rows are kept per user and can be exported to and imported
from CSV and .xls files. telpod-send sends the same rows from the command
line, without a display.")
# The simulators answer the program's presence check; a real library
# replaces one without a change to the program.
set(CPACK_DEBIAN_SIMULATORS_PACKAGE_NAME telpod-sim)
set(CPACK_DEBIAN_SIMULATORS_PACKAGE_DEPENDS "telpod (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_SIMULATORS_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_SIMULATORS_DESCRIPTION
  "simulated CAN driver libraries for TELPOD
Three shared libraries with the file names and entry points of the CANUSB,
Interface Corporation and Kvaser driver libraries, standing in for hardware
that is not there: one adapter, one board and one channel by default, or
the devices and faults of the file named by CANSIM_CONFIG. The frames the
program sends are written in candump log format to the file named by
CANSIM_LOG.

With them comes slcan-sim, a program that answers the Lawicel command set
of a serial-line adapter on a pseudo-terminal of its own and prints the
terminal's path for TELPOD_SERIAL_PORTS.

They are installed into TELPOD's own drivers folder, which the program
searches after the system library folders, so a real driver library
installed by its maker is used before them.")

include(CPack)

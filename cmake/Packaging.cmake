# The Debian package: `cpack --preset release` (or `cpack -G DEB` in a build
# folder) turns the install rules into quarnex_<version>_<arch>.deb, its
# library dependencies found by dpkg-shlibdeps.
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    # A zip of the folder data/ installs: quarnex-cli.exe, QuarnCfg, QuarnHlp.
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_NAME quarnex-cli)
    set(CPACK_SYSTEM_NAME windows-x64)
    set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
    set(CPACK_STRIP_FILES ON)
    include(CPack)
    return()
endif()
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarnex)
set(CPACK_PACKAGE_VENDOR "Quarnex developers")
set(CPACK_PACKAGE_CONTACT "${QUARNEX_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "manage USB sticks that hold 1000 floppy disk images")
set(CPACK_PACKAGE_DESCRIPTION
    "Quarnex looks after the USB sticks that hardware floppy-drive emulators
read, the ones found in CNC and embroidery machines, synthesizers and old
PCs. Such a stick holds 1000 slots, each a 1.44 MB floppy disk image.
Quarnex finds these sticks, shows the label and the description of every
slot, copies disk images between slots, image files and real floppy
drives, formats whole sticks, and backs a whole stick up to a single file
and restores it again. The package holds the Qt program quarnex and the
terminal tool quarnex-cli, which runs the same operations from a shell.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION otherosfs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

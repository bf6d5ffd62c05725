# What the installed game brings besides the executables and its assets, and
# the Debian package around it: cpack -G DEB in a build folder configured
# with -DCMAKE_INSTALL_BINDIR=games, where Debian keeps games (see README).

set(SPORRIK_APP_ID org.sporrik.sporrik)
install(FILES packaging/${SPORRIK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/sporrik)

# Debian wants the changelog and the manual page compressed, reproducibly:
# without a name or a time stamp in the gzip header.
find_program(SPORRIK_GZIP gzip REQUIRED)
foreach(source changelog sporrik.6 sporrik-server.1)
    set(compressed ${CMAKE_BINARY_DIR}/packaging/${source}.gz)
    add_custom_command(OUTPUT ${compressed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
        COMMAND ${SPORRIK_GZIP} -9 -n -c ${CMAKE_SOURCE_DIR}/packaging/${source} > ${compressed}
        DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${source}
        VERBATIM)
    list(APPEND SPORRIK_COMPRESSED ${compressed})
endforeach()
add_custom_target(sporrik_compressed_docs ALL DEPENDS ${SPORRIK_COMPRESSED})
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/sporrik)
install(FILES ${CMAKE_BINARY_DIR}/packaging/sporrik.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_BINARY_DIR}/packaging/sporrik-server.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The server's systemd unit. Its ExecStart needs the installed server's whole
# path, known only when installing (--prefix, or /usr in the package, which
# CPack installs under DESTDIR), so the unit is written then. systemd reads
# units under <prefix>/lib/systemd/system for /usr and /usr/local; Debian 12
# keeps them in /lib/systemd/system (scripts/package-check.sh says so).
set(SPORRIK_SYSTEMD_UNIT_DIR lib/systemd/system CACHE STRING
    "where the server's systemd unit is installed, relative to the prefix or absolute")
if(IS_ABSOLUTE ${CMAKE_INSTALL_BINDIR})
    set(SPORRIK_SERVER_PATH ${CMAKE_INSTALL_BINDIR}/sporrik-server)
else()
    set(SPORRIK_SERVER_PATH "\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/sporrik-server")
endif()
set(SPORRIK_UNIT ${CMAKE_BINARY_DIR}/packaging/sporrik-server.service)
install(CODE "set(SPORRIK_SERVER_PATH \"${SPORRIK_SERVER_PATH}\")
    configure_file(${CMAKE_SOURCE_DIR}/packaging/sporrik-server.service.in ${SPORRIK_UNIT} @ONLY)")
install(FILES ${SPORRIK_UNIT} DESTINATION ${SPORRIK_SYSTEMD_UNIT_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sporrik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D board game of slimes and spikes under rippling water")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Sporrik developers <sporrik@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the executable links, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# CPack puts the summary above it as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Two sides, the slimes and the spikes, spread their figures over a 9 x 9
board at the bottom of a basin under a rippling, reflecting water surface.
A figure splits into a neighbouring field or jumps two fields away, and every
opposing figure around the field where it lands changes sides. Each side is
played by a person with the mouse or by the computer at three levels; a
fluid under the board can be stirred with the mouse.")
include(CPack)

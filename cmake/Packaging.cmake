# The Debian package of the Linux build: `cpack` in the native build folder
# (scripts/make-dist runs it) packs what the install() rules put under /usr.
#
# The package's version is the project's, 1.0.0.0, unchanged: it is a valid
# Debian version, and it is the version the Windows programs carry in their
# version record, so one number names the release everywhere. There is no
# Debian revision: we build the package ourselves from our own tree.

set(PORTWRIGHT_PACKAGE_MAINTAINER
    "Portwright maintainers <maintainers@users.noreply.c-seed-7060efd3.example>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME portwright)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Portwright")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "compose and write the RPC proxy's ValidPorts registry value")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Portwright composes the registry value ValidPorts under
HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy, the host names and
ports that the RPC proxy of a mail server may forward to, shows it beside
the stored value, writes it (or a default) and leaves a log file of each
write. On Linux it works on a registry store and drive folders of its own
under ~/.local/share/portwright.

This package holds the window (portwright) and the command line
(portwright-cli).")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PORTWRIGHT_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies from the libraries the programs link (dpkg-shlibdeps, dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# portwright_<version>_amd64.deb, and its debugging information apart in
# portwright-dbgsym_<version>_amd64.ddeb: CPack strips the programs in the
# package and keeps what it stripped there, under /usr/lib/debug/.build-id.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)

# Only amd64 is built and named; a build on another processor would name its
# file wrongly, so it packs nothing rather than a mislabelled package.
execute_process(COMMAND dpkg --print-architecture
                OUTPUT_VARIABLE pw_deb_arch OUTPUT_STRIP_TRAILING_WHITESPACE
                ERROR_QUIET RESULT_VARIABLE pw_deb_arch_result)
if(NOT pw_deb_arch_result EQUAL 0 OR NOT pw_deb_arch STREQUAL "amd64")
  message(STATUS "Packaging: the Debian package is built on amd64 only (this is '${pw_deb_arch}')")
  return()
endif()
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)

include(cmake/PackageFiles.cmake)
include(CPack)

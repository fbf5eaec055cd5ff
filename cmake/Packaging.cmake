# `cpack -G DEB` from a configured build: one package with the program, the plug-in,
# the platform library, the header for hosts and the documents. Its dependencies are
# read from the binaries (dpkg-shlibdeps), not written by hand.
set(CPACK_PACKAGE_NAME vrx)
set(CPACK_PACKAGE_VENDOR "VRX")
set(CPACK_PACKAGE_CONTACT "VRX maintainers <vrx@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Internet toolkit plug-in for 4D, with a host and the vrx command")
set(CPACK_PACKAGE_DESCRIPTION
    "libvrx.so gives 4D methods TCP and UDP streams, SSL, name resolution, mail and Web
codecs, dates, digests, ciphers, compression and picture helpers. The package also
holds the platform library a host needs, the vrx command that runs 4D methods against
the plug-in, the C header for other hosts, and examples.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The platform library ships in this package; its shlibs entry lets dpkg-shlibdeps
# resolve the plug-in's and the program's use of it.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
include(CPack)

# The install layout: `vrx` in bin; the plug-in in lib/vrx, where hosts look for
# plug-ins; the platform library that the plug-in and every host share, with a versioned
# soname, in lib; the public header and its pkg-config file; the examples and documents
# under share/doc/vrx; the man page. Every path between them is relative, so the tree
# works under any prefix and `cmake --install --prefix P` needs no reconfiguring.
include(GNUInstallDirs)

set(VRX_PLUGIN_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/vrx)
set_target_properties(vrxplatform PROPERTIES
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})

# The host finds the plug-in from the program's own place, never from a compiled-in
# build path; the libraries are found the same way.
file(RELATIVE_PATH vrx_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
file(RELATIVE_PATH vrx_bin_to_plugin ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${VRX_PLUGIN_INSTALL_DIR}/libvrx.so)
target_compile_definitions(vrxhost PRIVATE VRX_PLUGIN_FROM_PROGRAM="${vrx_bin_to_plugin}")
set_target_properties(vrx PROPERTIES INSTALL_RPATH "$ORIGIN/${vrx_bin_to_lib}")
file(RELATIVE_PATH vrx_plugin_to_lib ${CMAKE_INSTALL_PREFIX}/${VRX_PLUGIN_INSTALL_DIR}
     ${CMAKE_INSTALL_FULL_LIBDIR})
set_target_properties(vrx_plugin PROPERTIES INSTALL_RPATH "$ORIGIN/${vrx_plugin_to_lib}")

install(TARGETS vrx RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS vrx_plugin LIBRARY DESTINATION ${VRX_PLUGIN_INSTALL_DIR})
install(TARGETS vrxplatform LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})

# For hosts written in C: the header, and a pkg-config file that finds its prefix from
# its own place.
install(FILES include/vrx/fourdpack.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vrx)
file(RELATIVE_PATH VRX_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" VRX_PC_TO_PREFIX "${VRX_PC_TO_PREFIX}")
configure_file(cmake/vrx.pc.in vrx.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vrx.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The command reference and any other documents kept in doc/.
install(DIRECTORY doc/ DESTINATION ${CMAKE_INSTALL_DOCDIR} FILES_MATCHING PATTERN "*.md")
install(FILES doc/vrx.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The CLI test runs a copy of vrx from an install-like tree.
if(TARGET test_cli)
  target_compile_definitions(test_cli PRIVATE VRX_PLUGIN_FROM_PROGRAM="${vrx_bin_to_plugin}")
endif()

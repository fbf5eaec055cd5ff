# The install layout: `vrx` in bin; the plug-in in lib/vrx, where hosts look for
# plug-ins; the platform library that the plug-in and every host share, with a versioned
# soname, in lib; the public header and its pkg-config file; the examples and documents
# under share/doc/vrx; the man page and the bash completion.
#
# Two kinds of install. Under any prefix but /usr every path between the files is
# relative, so the tree works wherever it is put and `cmake --install --prefix P` needs no
# reconfiguring. Under /usr (a distribution's package, with its multiarch libdir) the
# libraries sit where the loader looks anyway, so nothing carries a RUNPATH, and `vrx`
# knows the plug-in by its absolute path.
include(GNUInstallDirs)

set(VRX_PLUGIN_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/vrx)
set_target_properties(vrxplatform PROPERTIES
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})

if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(vrx_installed_plugin ${CMAKE_INSTALL_FULL_LIBDIR}/vrx/libvrx.so)
  set(VRX_PC_PREFIX ${CMAKE_INSTALL_PREFIX})
else()
  # Found from the program's own place, never from a compiled-in build path; the
  # libraries are found the same way.
  file(RELATIVE_PATH vrx_installed_plugin ${CMAKE_INSTALL_FULL_BINDIR}
       ${CMAKE_INSTALL_PREFIX}/${VRX_PLUGIN_INSTALL_DIR}/libvrx.so)
  file(RELATIVE_PATH vrx_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  set_target_properties(vrx PROPERTIES INSTALL_RPATH "$ORIGIN/${vrx_bin_to_lib}")
  file(RELATIVE_PATH vrx_plugin_to_lib ${CMAKE_INSTALL_PREFIX}/${VRX_PLUGIN_INSTALL_DIR}
       ${CMAKE_INSTALL_FULL_LIBDIR})
  set_target_properties(vrx_plugin PROPERTIES INSTALL_RPATH "$ORIGIN/${vrx_plugin_to_lib}")
  # The pkg-config file finds its prefix from its own place.
  file(RELATIVE_PATH vrx_pc_to_prefix ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
  string(REGEX REPLACE "/$" "" vrx_pc_to_prefix "${vrx_pc_to_prefix}")
  set(VRX_PC_PREFIX "\${pcfiledir}/${vrx_pc_to_prefix}")
endif()
target_compile_definitions(vrxhost PRIVATE VRX_INSTALLED_PLUGIN="${vrx_installed_plugin}")

install(TARGETS vrx RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS vrx_plugin LIBRARY DESTINATION ${VRX_PLUGIN_INSTALL_DIR})
install(TARGETS vrxplatform LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})

# For hosts written in C: the header and its pkg-config file.
install(FILES include/vrx/fourdpack.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vrx)
configure_file(cmake/vrx.pc.in vrx.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vrx.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(FILES README.md NEWS DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The command reference and any other documents kept in doc/.
install(DIRECTORY doc/ DESTINATION ${CMAKE_INSTALL_DOCDIR} FILES_MATCHING PATTERN "*.md" PATTERN "*.html")
configure_file(doc/vrx.1.in vrx.1 @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vrx.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# bash-completion loads completions/NAME the first time NAME is completed.
install(FILES cli/vrx.bash-completion DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME vrx)

# The CLI test runs a copy of vrx from an install-like tree.
if(TARGET test_cli)
  target_compile_definitions(test_cli PRIVATE VRX_INSTALLED_PLUGIN="${vrx_installed_plugin}")
endif()

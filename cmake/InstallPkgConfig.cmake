# Runs at install time (cmake --install, cpack): writes metdb.pc with the
# prefix that the library is being installed to, which is only known then.
# Expects METDB_PC_TEMPLATE (the configured metdb.pc, the prefix still open)
# and METDB_PC_LIBDIR (the library folder relative to the prefix).
set(METDB_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(_metdb_pc "${CMAKE_INSTALL_PREFIX}/${METDB_PC_LIBDIR}/pkgconfig/metdb.pc")
message(STATUS "Installing: $ENV{DESTDIR}${_metdb_pc}")
configure_file("${METDB_PC_TEMPLATE}" "$ENV{DESTDIR}${_metdb_pc}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_metdb_pc}")

# The install folders, CMAKE_INSTALL_LIBDIR and the others of GNUInstallDirs.
# Included by the top-level CMakeLists.txt before any folder that installs.
#
# On a multiarch system (Debian and its kind) the libraries go to
# lib/<triplet> whatever the prefix: /usr/lib/x86_64-linux-gnu for the
# packages and for cmake --install --prefix /usr, and the same under
# /usr/local or any other prefix, where the dynamic loader, pkg-config and
# find_package look too (GNUInstallDirs alone gives plain lib/ unless the
# prefix configured is /usr, and cpack and cmake --install --prefix choose
# the prefix only after configuring). -DCMAKE_INSTALL_LIBDIR=... overrides.
if(NOT DEFINED CMAKE_INSTALL_LIBDIR AND CMAKE_LIBRARY_ARCHITECTURE)
  set(CMAKE_INSTALL_LIBDIR "lib/${CMAKE_LIBRARY_ARCHITECTURE}" CACHE PATH
    "Object code libraries, relative to the prefix")
endif()
include(GNUInstallDirs)

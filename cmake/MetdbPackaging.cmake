# Installation and packaging of libmetdb for host programs: the shared
# library with its SONAME, the public headers under include/metdb/, an
# umbrella header, the CMake package (find_package(metdb) -> metdb::metdb), a
# pkg-config file, the metdb tool with its man page when the tool is built,
# and a Debian package through CPack (cpack -G DEB).
#
# Included by the top-level CMakeLists.txt after every target is defined, so
# that the tool's rules see whether the tool exists.

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(METDB_DESCRIPTION "Database of meteorological locations for host programs")
set(METDB_INCLUDE_DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/metdb)
set(METDB_CMAKE_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/metdb)

# --- Exported symbols --------------------------------------------------------
# The version script keeps the dynamic symbol table to the public interface
# (see the script for why hidden visibility alone is not enough).
set(METDB_VERSION_SCRIPT ${PROJECT_SOURCE_DIR}/cmake/metdb.map)
target_link_options(metdb PRIVATE "LINKER:--version-script=${METDB_VERSION_SCRIPT}")
set_property(TARGET metdb APPEND PROPERTY LINK_DEPENDS ${METDB_VERSION_SCRIPT})
# Hosts compile the headers as C++17, whatever their own default.
target_compile_features(metdb INTERFACE cxx_std_17)

# --- Public headers ----------------------------------------------------------
# Every header of datafile/, directory/, selection/ and module/, and the
# platform headers listed in platform-public-headers.txt. They are installed
# under include/metdb/ keeping their folders, so that their rooted includes
# ("datafile/LocationData.h") resolve against include/metdb.
file(GLOB METDB_PUBLIC_HEADERS CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}
  ${PROJECT_SOURCE_DIR}/datafile/*.h
  ${PROJECT_SOURCE_DIR}/directory/*.h
  ${PROJECT_SOURCE_DIR}/selection/*.h
  ${PROJECT_SOURCE_DIR}/module/*.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/cmake/platform-public-headers.txt)
file(STRINGS ${PROJECT_SOURCE_DIR}/cmake/platform-public-headers.txt METDB_PLATFORM_PUBLIC_HEADERS
  REGEX "^platform/")
list(APPEND METDB_PUBLIC_HEADERS ${METDB_PLATFORM_PUBLIC_HEADERS})
# The library's own bookkeeping of locks and writes, which no host reaches.
list(REMOVE_ITEM METDB_PUBLIC_HEADERS
  datafile/DatabaseState.h datafile/DirectoryMerge.h datafile/SharedLock.h datafile/WriteAccess.h)
list(SORT METDB_PUBLIC_HEADERS)

# A public header that includes a platform header not installed with it would
# not compile in a host; say so now rather than at the host's build.
foreach(header ${METDB_PUBLIC_HEADERS})
  file(STRINGS ${PROJECT_SOURCE_DIR}/${header} includes REGEX "^#include \"platform/")
  foreach(line ${includes})
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
    if(NOT included IN_LIST METDB_PUBLIC_HEADERS)
      message(WARNING "${header} includes ${included}, which is not installed: "
        "add it to cmake/platform-public-headers.txt")
    endif()
  endforeach()
endforeach()

set(METDB_UMBRELLA_INCLUDES "")
foreach(header ${METDB_PUBLIC_HEADERS})
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/${header} DESTINATION ${METDB_INCLUDE_DESTINATION}/${folder})
  string(APPEND METDB_UMBRELLA_INCLUDES "#include \"${header}\"\n")
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/cmake/metdb.h.in ${PROJECT_BINARY_DIR}/include/metdb/metdb.h
  @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/include/metdb/metdb.h DESTINATION ${METDB_INCLUDE_DESTINATION})

# --- Library and CMake package -----------------------------------------------
# The installed target's include directories: include/ for <metdb/metdb.h>,
# include/metdb for the headers' rooted includes.
install(TARGETS metdb EXPORT metdbTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} ${METDB_INCLUDE_DESTINATION})
install(EXPORT metdbTargets NAMESPACE metdb:: DESTINATION ${METDB_CMAKE_DESTINATION})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/metdbConfig.cmake.in
  ${PROJECT_BINARY_DIR}/metdbConfig.cmake
  INSTALL_DESTINATION ${METDB_CMAKE_DESTINATION})
# The SONAME changes with the minor version, so only the same major.minor is
# compatible.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/metdbConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/metdbConfig.cmake ${PROJECT_BINARY_DIR}/metdbConfigVersion.cmake
  DESTINATION ${METDB_CMAKE_DESTINATION})

# --- pkg-config --------------------------------------------------------------
# The prefix is written at install time, since cmake --install --prefix and
# cpack choose it then; everything else is filled in now.
set(METDB_PC_PREFIX "@METDB_PC_PREFIX@")
configure_file(${PROJECT_SOURCE_DIR}/cmake/metdb.pc.in ${PROJECT_BINARY_DIR}/metdb.pc.in @ONLY)
install(CODE "set(METDB_PC_TEMPLATE \"${PROJECT_BINARY_DIR}/metdb.pc.in\")
set(METDB_PC_LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")")
install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/InstallPkgConfig.cmake)

# --- The metdb tool and its man page -----------------------------------------
if(TARGET metdb_tool)
  install(TARGETS metdb_tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Finds the library of its own installation wherever the prefix is.
  set_property(TARGET metdb_tool PROPERTY INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")

  find_program(METDB_HELP2MAN help2man)
  if(METDB_HELP2MAN)
    set(METDB_MAN_PAGE ${PROJECT_BINARY_DIR}/man/metdb.1)
    add_custom_command(OUTPUT ${METDB_MAN_PAGE}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND ${METDB_HELP2MAN} --no-info --no-discard-stderr
              "--name=build, inspect and maintain metdb location databases"
              --output=${METDB_MAN_PAGE} $<TARGET_FILE:metdb_tool>
      COMMAND gzip -9nf ${METDB_MAN_PAGE}
      DEPENDS metdb_tool
      COMMENT "Generating the metdb(1) man page from metdb --help"
      VERBATIM)
    add_custom_target(metdb_man ALL DEPENDS ${METDB_MAN_PAGE}.gz)
    install(FILES ${METDB_MAN_PAGE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    message(WARNING "help2man not found: the metdb man page is not built "
      "(scripts/install-deps.sh installs it)")
  endif()
endif()

# --- Debian package ----------------------------------------------------------
# One package with the library, the headers, the CMake and pkg-config files
# and the tool: cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME metdb)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${METDB_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
  "libmetdb keeps a database of meteorological locations (a data file of fixed-size records and a\
 text directory of them by continent, country and state) for host programs, with the metdb tool\
 to build, inspect and maintain such databases.")
set(CPACK_PACKAGE_VENDOR "metdb")
set(METDB_PACKAGE_MAINTAINER "metdb developers <metdb@localhost>" CACHE STRING
  "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${METDB_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")
include(CPack)

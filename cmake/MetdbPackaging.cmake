# Installation and packaging of libmetdb for host programs: the shared
# library with its SONAME, the public headers under include/metdb/ (which
# hosts, and the headers among themselves, name as <metdb/...>, so that
# include/ is the only include directory a host needs), an umbrella header,
# the CMake package (find_package(metdb) -> metdb::metdb), a pkg-config file,
# the metdb tool with its manual pages, bash completion and reference data
# (share/metdb/geo) when the tool is built, and a Debian package through
# CPack (cpack -G DEB).
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
# The headers that hosts get, folder by folder. The folders' other headers are
# the library's own: datafile/DatabaseState.h, DirectoryMerge.h, SharedLock.h
# and WriteAccess.h keep the bookkeeping of locks and writes, which no host
# reaches. The platform headers are listed, each with why it is public, in
# platform-public-headers.txt, which the API documentation reads too.
set(METDB_PUBLIC_DATAFILE_HEADERS
  datafile/BMTFile.h datafile/DataFileReplacement.h datafile/InfoDevice.h datafile/LocationData.h
  datafile/MetDatabase.h datafile/MetDatabaseLock.h datafile/RecordOrder.h
  datafile/WorkingDirectory.h)
set(METDB_PUBLIC_DIRECTORY_HEADERS
  directory/Continent.h directory/Country.h directory/Directory.h directory/FileBuffer.h
  directory/Location.h directory/State.h directory/TISArrayAsVector.h directory/TextScanner.h
  directory/VELDstring.h)
set(METDB_PUBLIC_SELECTION_HEADERS
  selection/TLocList.h selection/TLocationIterator.h selection/TLocationSelection.h)
set(METDB_PUBLIC_MODULE_HEADERS
  module/CurrentDatabase.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/cmake/platform-public-headers.txt)
file(STRINGS ${PROJECT_SOURCE_DIR}/cmake/platform-public-headers.txt METDB_PUBLIC_PLATFORM_HEADERS
  REGEX "^platform/")
set(METDB_PUBLIC_HEADERS
  ${METDB_PUBLIC_DATAFILE_HEADERS} ${METDB_PUBLIC_DIRECTORY_HEADERS}
  ${METDB_PUBLIC_SELECTION_HEADERS} ${METDB_PUBLIC_MODULE_HEADERS}
  ${METDB_PUBLIC_PLATFORM_HEADERS})
list(SORT METDB_PUBLIC_HEADERS)

# A listed header that is gone would only fail the build later, with a less
# clear message. A public header that includes a header not installed with it
# would not compile in a host; say so now rather than at the host's build.
foreach(header ${METDB_PUBLIC_HEADERS})
  if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${header})
    message(FATAL_ERROR "${header} is listed as a public header but does not exist")
  endif()
  file(STRINGS ${PROJECT_SOURCE_DIR}/${header} includes
    REGEX "^#[ \t]*include[ \t]*\"(platform|directory|datafile|selection|module)/")
  foreach(line ${includes})
    string(REGEX REPLACE "^#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" included "${line}")
    if(NOT included IN_LIST METDB_PUBLIC_HEADERS)
      message(WARNING "${header} includes ${included}, which is not installed: add it to "
        "the public headers in cmake/MetdbPackaging.cmake (platform headers: "
        "cmake/platform-public-headers.txt)")
    endif()
  endforeach()
endforeach()

# The installed copies, made in the build tree under include/metdb/<folder>/
# by MetdbPublicHeader.cmake, which names the headers' includes of each other
# under metdb/. They are remade whenever their source header changes, and
# before the library is linked, so that an install after building the library
# alone still has current headers. The source headers keep their rooted
# includes, which the library and its tests build with.
set(METDB_HEADER_SCRIPT ${PROJECT_SOURCE_DIR}/cmake/MetdbPublicHeader.cmake)
set(METDB_PUBLIC_HEADER_COPIES "")
set(METDB_UMBRELLA_INCLUDES "")
foreach(header ${METDB_PUBLIC_HEADERS})
  set(copy ${PROJECT_BINARY_DIR}/include/metdb/${header})
  add_custom_command(OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${PROJECT_SOURCE_DIR}/${header} -DOUTPUT=${copy}
            -P ${METDB_HEADER_SCRIPT}
    DEPENDS ${PROJECT_SOURCE_DIR}/${header} ${METDB_HEADER_SCRIPT}
    COMMENT "Generating the installed copy of ${header}"
    VERBATIM)
  list(APPEND METDB_PUBLIC_HEADER_COPIES ${copy})
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${copy} DESTINATION ${METDB_INCLUDE_DESTINATION}/${folder})
  string(APPEND METDB_UMBRELLA_INCLUDES "#include \"metdb/${header}\"\n")
endforeach()
add_custom_target(metdb_public_headers ALL DEPENDS ${METDB_PUBLIC_HEADER_COPIES})
add_dependencies(metdb metdb_public_headers)
configure_file(${PROJECT_SOURCE_DIR}/cmake/metdb.h.in ${PROJECT_BINARY_DIR}/include/metdb/metdb.h
  @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/include/metdb/metdb.h DESTINATION ${METDB_INCLUDE_DESTINATION})
# The installed headers, one per line relative to include/metdb, for the
# install test (tests/packaging/install_host.sh) to check the installation by.
string(REPLACE ";" "\n" METDB_PUBLIC_HEADER_LINES "${METDB_PUBLIC_HEADERS}")
file(WRITE ${PROJECT_BINARY_DIR}/metdb-public-headers.txt "${METDB_PUBLIC_HEADER_LINES}\n")

# --- Library and CMake package -----------------------------------------------
# The installed target's only include directory is include/: hosts name every
# header under metdb/ (<metdb/metdb.h>, <metdb/datafile/BMTFile.h>), and so do
# the installed headers among themselves. The library's own folders
# (platform/, datafile/, ...) are never top-level names on a host's path.
install(TARGETS metdb EXPORT metdbTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
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

# --- The metdb tool, its manual pages and completion ------------------------
if(TARGET metdb_tool)
  install(TARGETS metdb_tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Finds the library of its own installation wherever the prefix is.
  set_property(TARGET metdb_tool PROPERTY INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")

  # The manual pages and the bash completion, which the tool writes each
  # time it is linked (cli/CMakeLists.txt).
  install(DIRECTORY ${METDB_TOOL_MAN_DIR}/ DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
    FILES_MATCHING PATTERN "*.1.gz")
  install(FILES ${METDB_TOOL_COMPLETION}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

  # The tool's reference data (countries, their outlines, land), with the
  # README that names its sources and licences. The tool looks for it in
  # share/metdb beside the bin/ it runs from (tool/DataFolder.h), so the
  # folder is named here as it is there, whatever CMAKE_INSTALL_DATADIR says.
  set(METDB_GEO_DATA
    countries.tsv countries-110m.bin countries-50m.bin divisions.tsv land-110m.bin land-50m.bin
    README.md)
  list(TRANSFORM METDB_GEO_DATA PREPEND ${PROJECT_SOURCE_DIR}/data/geo/)
  install(FILES ${METDB_GEO_DATA} DESTINATION share/metdb/geo)
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

# Installation and packaging of metdb: the shared library with its SONAME,
# the public headers under include/metdb/ (which hosts, and the headers
# among themselves, name as <metdb/...>, so that include/ is the only include
# directory a host needs), an umbrella header, the CMake package
# (find_package(metdb) -> metdb::metdb), a pkg-config file, the API
# documentation, the metdb tool with its manual pages, bash completion and
# reference data (share/metdb/geo, tz) when the tool is built, and Debian
# packages through CPack (cpack -G DEB), one per install component:
#   library      libmetdb1.10    libmetdb.so.1.10*
#   development  libmetdb-dev    headers, CMake and pkg-config files, the
#                                libmetdb.so link, the API documentation
#   tool         metdb           the tool, its manual pages and completion,
#                                share/metdb/geo
#   python       python3-metdb   the Python module (installed by python/)
# each with its copyright file under share/doc/<package>/, and the debug
# information of the library and the tool in -dbgsym packages.
#
# Included by the top-level CMakeLists.txt after every target and every
# other install rule is defined, so that the tool's rules see whether the
# tool exists and the packages see every component.

# The install folders (CMAKE_INSTALL_*) are set by cmake/MetdbInstallDirs.cmake.
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

# The debug information of the shipped binaries is compressed as they are
# linked (zlib, which gdb and objcopy read): the tool's shrinks from some
# 80 MB to under 30, and cpack packs its -dbgsym package with xz in a third
# of the time.
include(CheckLinkerFlag)
check_linker_flag(CXX -gz METDB_LINKER_COMPRESSES_DEBUG)
if(METDB_LINKER_COMPRESSES_DEBUG)
  target_link_options(metdb PRIVATE -gz)
  if(TARGET metdb_tool)
    target_link_options(metdb_tool PRIVATE -gz)
  endif()
endif()

# --- Public headers ----------------------------------------------------------
# The headers that hosts get, folder by folder. The folders' other headers are
# the library's own: datafile/DatabaseState.h, DirectoryMerge.h, SharedLock.h,
# StationCarry.h, StationFileWrite.h and WriteAccess.h keep the bookkeeping of locks and writes, which no host
# reaches. The platform headers are listed, each with why it is public, in
# platform-public-headers.txt, which the API documentation reads too.
# datafile/LocationData.h and datafile/WorkingDirectory.h forward to
# common/, where the two now live (below directory/ and datafile/), so that
# hosts include them as before.
set(METDB_PUBLIC_COMMON_HEADERS
  common/LocationData.h common/WorkingDirectory.h)
set(METDB_PUBLIC_DATAFILE_HEADERS
  datafile/BMTFile.h datafile/DataFileReplacement.h datafile/InfoDevice.h datafile/LocationData.h
  datafile/MetDatabase.h datafile/MetDatabaseLock.h datafile/RecordOrder.h
  datafile/StationFile.h datafile/StationInfo.h datafile/WorkingDirectory.h)
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
  ${METDB_PUBLIC_COMMON_HEADERS} ${METDB_PUBLIC_DATAFILE_HEADERS} ${METDB_PUBLIC_DIRECTORY_HEADERS}
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
    REGEX "^#[ \t]*include[ \t]*\"(platform|common|directory|datafile|selection|module)/")
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
  install(FILES ${copy} DESTINATION ${METDB_INCLUDE_DESTINATION}/${folder} COMPONENT development)
  string(APPEND METDB_UMBRELLA_INCLUDES "#include \"metdb/${header}\"\n")
endforeach()
add_custom_target(metdb_public_headers ALL DEPENDS ${METDB_PUBLIC_HEADER_COPIES})
add_dependencies(metdb metdb_public_headers)
configure_file(${PROJECT_SOURCE_DIR}/cmake/metdb.h.in ${PROJECT_BINARY_DIR}/include/metdb/metdb.h
  @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/include/metdb/metdb.h DESTINATION ${METDB_INCLUDE_DESTINATION}
  COMPONENT development)
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
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library
          NAMELINK_COMPONENT development
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT metdbTargets NAMESPACE metdb:: DESTINATION ${METDB_CMAKE_DESTINATION}
  COMPONENT development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/metdbConfig.cmake.in
  ${PROJECT_BINARY_DIR}/metdbConfig.cmake
  INSTALL_DESTINATION ${METDB_CMAKE_DESTINATION})
# The SONAME changes with the minor version, so only the same major.minor is
# compatible.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/metdbConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/metdbConfig.cmake ${PROJECT_BINARY_DIR}/metdbConfigVersion.cmake
  DESTINATION ${METDB_CMAKE_DESTINATION} COMPONENT development)

# --- pkg-config --------------------------------------------------------------
# The prefix is written at install time, since cmake --install --prefix and
# cpack choose it then; everything else is filled in now.
set(METDB_PC_PREFIX "@METDB_PC_PREFIX@")
configure_file(${PROJECT_SOURCE_DIR}/cmake/metdb.pc.in ${PROJECT_BINARY_DIR}/metdb.pc.in @ONLY)
install(CODE "set(METDB_PC_TEMPLATE \"${PROJECT_BINARY_DIR}/metdb.pc.in\")
set(METDB_PC_LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")" COMPONENT development)
install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/InstallPkgConfig.cmake COMPONENT development)

# --- The metdb tool, its manual pages and completion ------------------------
if(TARGET metdb_tool)
  install(TARGETS metdb_tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
  # Finds the library of its own installation wherever the prefix is.
  set_property(TARGET metdb_tool PROPERTY INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")

  # The manual pages and the bash completion, which the tool writes each
  # time it is linked (cli/CMakeLists.txt).
  install(DIRECTORY ${METDB_TOOL_MAN_DIR}/ DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tool
    FILES_MATCHING PATTERN "*.1.gz")
  install(FILES ${METDB_TOOL_COMPLETION}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT tool)

  # The tool's reference data (countries, their outlines, land), with the
  # README that names its sources and licences. The tool looks for it in
  # share/metdb beside the bin/ it runs from (tool/DataFolder.h), so the
  # folder is named here as it is there, whatever CMAKE_INSTALL_DATADIR says.
  set(METDB_GEO_DATA
    countries.tsv countries-110m.bin countries-50m.bin countries-extra.bin divisions.tsv
    ghcnd-countries.tsv ghcnd-states.tsv land-110m.bin land-50m.bin README.md)
  list(TRANSFORM METDB_GEO_DATA PREPEND ${PROJECT_SOURCE_DIR}/data/geo/)
  install(FILES ${METDB_GEO_DATA} DESTINATION share/metdb/geo COMPONENT tool)
  # The time zones of positions and the countries of zones, likewise.
  set(METDB_TZ_DATA timezones.bin zones.tsv README.md)
  list(TRANSFORM METDB_TZ_DATA PREPEND ${PROJECT_SOURCE_DIR}/data/tz/)
  install(FILES ${METDB_TZ_DATA} DESTINATION share/metdb/tz COMPONENT tool)
  # The map page of serve (Leaflet's built files with its licence).
  set(METDB_WEB_DATA index.html app.js app.css leaflet.js leaflet.css LICENSE-leaflet.txt README.md)
  list(TRANSFORM METDB_WEB_DATA PREPEND ${PROJECT_SOURCE_DIR}/data/web/)
  install(FILES ${METDB_WEB_DATA} DESTINATION share/metdb/web COMPONENT tool)
endif()

# --- Documentation -----------------------------------------------------------
# share/doc/<package>/ for each package: its copyright (Debian's
# machine-readable format: MIT for the code, and for the tool's package the
# reference data's own licences too) and what a user of that package reads.
# The API documentation is built with Doxygen from the installed headers
# (scripts/docs.sh, which fails on any undocumented interface) when Doxygen
# is there.
set(METDB_DOC_ROOT ${CMAKE_INSTALL_DATAROOTDIR}/doc)
set(METDB_LIBRARY_PACKAGE libmetdb${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
set(METDB_CODE_COPYRIGHT ${PROJECT_SOURCE_DIR}/cmake/debian/copyright)
# The changelog that Debian wants in every package, compressed as it wants
# it (-n: the same bytes on every build).
set(METDB_CHANGELOG ${PROJECT_BINARY_DIR}/debian/changelog.gz)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/cmake/debian/changelog)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/debian)
execute_process(COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/cmake/debian/changelog
  OUTPUT_FILE ${METDB_CHANGELOG} RESULT_VARIABLE METDB_GZIP_STATUS)
if(NOT METDB_GZIP_STATUS EQUAL 0)
  message(FATAL_ERROR "gzip of cmake/debian/changelog failed")
endif()
install(FILES ${METDB_CODE_COPYRIGHT} ${METDB_CHANGELOG}
  DESTINATION ${METDB_DOC_ROOT}/${METDB_LIBRARY_PACKAGE} COMPONENT library)
# The documents of libmetdb-dev beside its copyright: the host guide and the
# example programs it quotes (a CMake project of their own).
set(METDB_DEVELOPMENT_DOCS
  ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/host-guide.md
  ${METDB_CODE_COPYRIGHT} ${METDB_CHANGELOG})
install(FILES ${METDB_DEVELOPMENT_DOCS} DESTINATION ${METDB_DOC_ROOT}/libmetdb-dev
  COMPONENT development)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${METDB_DOC_ROOT}/libmetdb-dev/examples
  COMPONENT development)
if(TARGET metdb_tool)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${METDB_CHANGELOG}
    DESTINATION ${METDB_DOC_ROOT}/metdb COMPONENT tool)
  # The reference data's licences beside the code's.
  install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright-tool
    DESTINATION ${METDB_DOC_ROOT}/metdb RENAME copyright COMPONENT tool)
endif()
# The Python module's package, once python/ installs the module (before this
# file is included), gets the code's copyright; its own documents are for
# python/ to install with COMPONENT python.
get_cmake_property(METDB_INSTALLED_COMPONENTS COMPONENTS)
if(python IN_LIST METDB_INSTALLED_COMPONENTS)
  set(METDB_PYTHON_PACKAGE ON)
  install(FILES ${METDB_CODE_COPYRIGHT} ${METDB_CHANGELOG} ${PROJECT_SOURCE_DIR}/docs/python.md
    DESTINATION ${METDB_DOC_ROOT}/python3-metdb COMPONENT python)
endif()

option(METDB_API_DOCS "Build the API documentation with Doxygen (when found) and install it" ON)
find_program(METDB_DOXYGEN doxygen)
if(METDB_API_DOCS AND METDB_DOXYGEN)
  set(METDB_API_DOCS_DIR ${PROJECT_BINARY_DIR}/docs)
  add_custom_command(OUTPUT ${METDB_API_DOCS_DIR}/html/index.html
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/docs.sh ${METDB_API_DOCS_DIR}
    DEPENDS ${PROJECT_SOURCE_DIR}/scripts/docs.sh ${PROJECT_SOURCE_DIR}/docs/Doxyfile
            ${PROJECT_SOURCE_DIR}/docs/doxygen-filter.awk ${METDB_PUBLIC_HEADERS}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "Building the API documentation with Doxygen"
    VERBATIM)
  add_custom_target(metdb_api_docs ALL DEPENDS ${METDB_API_DOCS_DIR}/html/index.html)
  # OPTIONAL: an install after building only some targets goes without it.
  install(DIRECTORY ${METDB_API_DOCS_DIR}/html DESTINATION ${METDB_DOC_ROOT}/libmetdb-dev
    COMPONENT development OPTIONAL)
elseif(METDB_API_DOCS)
  message(STATUS "Doxygen not found: the API documentation is not built "
    "(scripts/install-deps.sh installs it)")
endif()

# --- Debian packages ---------------------------------------------------------
# cpack -G DEB in the build folder makes one package per component (see the
# top of this file), with the package names, dependencies and sections that
# Debian gives libraries, their development files, programs and Python
# modules.
set(METDB_VERSION_DEPENDS "(= ${PROJECT_VERSION})")
set(CPACK_PACKAGE_NAME metdb)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Each package's description below begins with its own summary line, which
# CPACK_PACKAGE_DESCRIPTION_SUMMARY, when set, would replace.
set(CPACK_PACKAGE_VENDOR "metdb")
set(METDB_PACKAGE_MAINTAINER "metdb developers <metdb@localhost>" CACHE STRING
  "Maintainer field of the Debian packages")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${METDB_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The tool and the Python module link the library that another of these
# packages holds: dpkg-shlibdeps finds it in the build folder, and their
# Depends name its package below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
# Binaries are stripped, their debug information goes to <package>-dbgsym;
# a build without debug information (Release, MinSizeRel) has none to give.
if(CMAKE_BUILD_TYPE MATCHES "^(Debug|RelWithDebInfo)$")
  set(METDB_HAS_DEBUG_INFO 1)
else()
  set(METDB_HAS_DEBUG_INFO 0)
endif()
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ${METDB_HAS_DEBUG_INFO})
# xz, as Debian's archive and lintian take it (they refuse zstd, which dpkg
# reads since Debian 12 and which packs some three times faster: choose it
# with -DMETDB_DEB_COMPRESSION=zstd for packages that only dpkg will see).
set(METDB_DEB_COMPRESSION xz CACHE STRING "Compression of the Debian packages: xz, zstd or gzip")
set(CPACK_DEBIAN_COMPRESSION_TYPE ${METDB_DEB_COMPRESSION})
set(CPACK_THREADS 2)

# Descriptions: the summary line, then the text, which CPack indents as the
# control file wants it (an empty line becomes " .").
set(METDB_LONG_DESCRIPTION
  "libmetdb keeps a database of meteorological locations (a data file of\n"
  "fixed-size records and a text directory of them by continent, country and\n"
  "state) for host programs.")
string(CONCAT METDB_LONG_DESCRIPTION ${METDB_LONG_DESCRIPTION})

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME ${METDB_LIBRARY_PACKAGE})
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_LIBRARY_DESCRIPTION
  "database of meteorological locations (shared library)\n${METDB_LONG_DESCRIPTION}\n\n\
This package holds the shared library.")
# The shlibs file that packages built against the library get their
# dependency from: any 1.10 release from this one on.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The loader's cache is renewed through dpkg's ldconfig trigger.
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/debian/triggers)

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libmetdb-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "${METDB_LIBRARY_PACKAGE} ${METDB_VERSION_DEPENDS}")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_ARCHITECTURE_INDEPENDENT OFF)
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
  "database of meteorological locations (development files)\n${METDB_LONG_DESCRIPTION}\n\n\
This package holds the C++17 headers, the CMake package (find_package(metdb)),\n\
the pkg-config file and the API documentation.")

set(CPACK_DEBIAN_TOOL_PACKAGE_NAME metdb)
set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION science)
set(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS "${METDB_LIBRARY_PACKAGE} ${METDB_VERSION_DEPENDS}")
set(CPACK_DEBIAN_TOOL_DESCRIPTION
  "build, inspect and maintain databases of meteorological locations\n\
The metdb tool creates libmetdb databases from station lists (its own CSV,\n\
NOAA GHCN-Daily and ISD, OurAirports, GeoNames, GeoJSON), lists, finds,\n\
exports, edits, checks and compacts them, finds the locations nearest to a\n\
point and draws them on maps.")

set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-metdb)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
# The extension is built for one minor version of Python 3 (its file name
# says which), so the package needs that one.
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
  "${METDB_LIBRARY_PACKAGE} ${METDB_VERSION_DEPENDS}, python3 (>= ${METDB_PYTHON_ABI}), python3 (<< ${METDB_PYTHON_NEXT_ABI}), python3-numpy")
set(CPACK_DEBIAN_PYTHON_DESCRIPTION
  "database of meteorological locations (Python 3 module)\n${METDB_LONG_DESCRIPTION}\n\n\
This package holds the Python 3 module metdb.")

# The packages: the tool's only when the tool is built, python3-metdb only
# when python/ installs the module.
set(CPACK_COMPONENTS_ALL library development)
if(TARGET metdb_tool)
  list(APPEND CPACK_COMPONENTS_ALL tool)
endif()
if(METDB_PYTHON_PACKAGE)
  list(APPEND CPACK_COMPONENTS_ALL python)
endif()
set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")
include(CPack)

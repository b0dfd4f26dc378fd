# CTest tests of the installed library, included from the top-level
# CMakeLists.txt (they are scripts, not a gtest binary):
#   packaging.install_host  install into a temporary prefix, build and run the
#                           host program through find_package and pkg-config
#   packaging.symbols       the shared object exports the public interface only
#   packaging.deb           cpack -G DEB, each package's contents, then dpkg
#                           into a temporary root and the tool run from there
#                           (the -dbgsym packages only in a build with debug
#                           information: Debug, RelWithDebInfo)
#   packaging.man_pages     the tool's manual pages against its --help
#   packaging.completion    the tool's bash completion, sourced in bash
# In the sanitizer build the host is built with the same sanitizers, since
# the installed library needs their runtime; the Debian package test skips
# itself there, as nobody ships a sanitizer build as a package (and packing
# its large debug binaries is slow).
set(METDB_PACKAGING_TESTS ${PROJECT_SOURCE_DIR}/tests/packaging)
if(TARGET metdb_tool)
  set(METDB_HAS_TOOL 1)
else()
  set(METDB_HAS_TOOL 0)
endif()
set(METDB_HOST_FLAGS "")
if(METDB_SANITIZE)
  set(METDB_HOST_FLAGS "-fsanitize=address,undefined -fno-omit-frame-pointer")
endif()

add_test(NAME packaging.install_host
  COMMAND bash ${METDB_PACKAGING_TESTS}/install_host.sh
          ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR} ${METDB_HAS_TOOL} "${METDB_HOST_FLAGS}")
add_test(NAME packaging.symbols
  COMMAND bash ${METDB_PACKAGING_TESTS}/symbols.sh
          $<TARGET_FILE:metdb> ${METDB_PACKAGING_TESTS}/public-symbols.txt)
add_test(NAME packaging.deb
  COMMAND bash ${METDB_PACKAGING_TESTS}/deb.sh ${PROJECT_BINARY_DIR} ${METDB_HAS_TOOL}
          $<BOOL:${METDB_SANITIZE}> ${METDB_HAS_DEBUG_INFO})
set_tests_properties(packaging.deb PROPERTIES SKIP_RETURN_CODE 77)
# Both installing tests run the build folder's install script, which
# rewrites install_manifest.txt there: never at the same time.
set_tests_properties(packaging.install_host packaging.deb PROPERTIES
  RESOURCE_LOCK metdb_install_script)
set_tests_properties(packaging.install_host packaging.symbols packaging.deb PROPERTIES
  LABELS packaging TIMEOUT 120)
if(TARGET metdb_tool)
  add_test(NAME packaging.man_pages
    COMMAND bash ${METDB_PACKAGING_TESTS}/man_pages.sh $<TARGET_FILE:metdb_tool>
            ${METDB_TOOL_MAN_DIR})
  add_test(NAME packaging.completion
    COMMAND bash ${METDB_PACKAGING_TESTS}/completion.sh ${METDB_TOOL_COMPLETION})
  set_tests_properties(packaging.man_pages packaging.completion PROPERTIES
    LABELS packaging TIMEOUT 60)
endif()

# The host guide's examples: packaging.examples installs the build into a
# temporary prefix, builds examples/ against it and runs each program;
# packaging.host_guide checks that every code block of docs/host-guide.md
# stands as shown in the example file it names.
add_test(NAME packaging.examples
  COMMAND bash ${METDB_PACKAGING_TESTS}/examples.sh
          ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR} "${METDB_HOST_FLAGS}")
add_test(NAME packaging.host_guide
  COMMAND bash ${METDB_PACKAGING_TESTS}/host_guide.sh ${PROJECT_SOURCE_DIR})
set_tests_properties(packaging.examples PROPERTIES
  RESOURCE_LOCK metdb_install_script TIMEOUT 300)
set_tests_properties(packaging.examples packaging.host_guide PROPERTIES LABELS packaging)

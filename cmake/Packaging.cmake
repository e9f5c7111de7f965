# Debian packages made by `cpack -G DEB` in the build tree: the programs, the Kavgraph runtime
# library, and its development files (headers, CMake package, pkg-config file, Designer plugin).
set(CPACK_PACKAGE_NAME quillmark)
set(CPACK_PACKAGE_VENDOR "Vardelin")
set(CPACK_PACKAGE_CONTACT "Quillmark developers <quillmark@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Documentation browser, diagram library and style library editor")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL programs library development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# dpkg-shlibdeps finds our own library in the build tree, not in an installed package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/kavgraph)

set(vd_libpackage libkavgraph${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME quillmark)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_DEPENDS "${vd_libpackage} (= ${PROJECT_VERSION}), fonts-liberation2")
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_RECOMMENDS "lazarus-doc-2.2")
set(CPACK_DEBIAN_PROGRAMS_DESCRIPTION
  "Documentation browser, diagram tools and style library editor\n The Quillmark browser shows Object Pascal class libraries from .qmk databases,\n qmk reads and builds them; kvgraph, kavgraph-editor and ornamo work on\n Kavgraph diagrams and style libraries.")

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME ${vd_libpackage})
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_LIBRARY_DESCRIPTION
  "Kavgraph diagram component library for Qt 6\n Vertices, edges, styles from .slb style libraries, editing actors, graph files,\n an overview box and a print preview.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libkavgraph-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
  "${vd_libpackage} (= ${PROJECT_VERSION}), qt6-base-dev")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
  "Kavgraph diagram component library for Qt 6: development files\n Headers, the CMake package (find_package(Kavgraph)), the pkg-config file and\n the Qt Designer plugin with the widgets of the group \"Diagrams\".")

include(CPack)

# Installation: the programs, the Kavgraph library with its CMake package and pkg-config file,
# desktop integration (desktop files, MIME types, icons), man pages, samples, and the Debian packages.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Installed programs find the library next to them, wherever the prefix is.
set(CMAKE_INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")

# ---- Programs ----
set(VD_PROGRAMS qmk kvgraph quillmark-trace quillmark-browser quillmark-authoring ornamo diagram-editor)
foreach(program IN LISTS VD_PROGRAMS)
  if(TARGET ${program})
    set_target_properties(${program} PROPERTIES INSTALL_RPATH "${CMAKE_INSTALL_RPATH}")
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programs)
  endif()
endforeach()
# The example editor is installed under a name that says what it belongs to.
if(TARGET diagram-editor)
  set_target_properties(diagram-editor PROPERTIES OUTPUT_NAME kavgraph-editor)
endif()

# ---- The Kavgraph library ----
set_target_properties(kavgraph PROPERTIES
  VERSION ${PROJECT_VERSION}
  SOVERSION ${PROJECT_VERSION_MAJOR}
  EXPORT_NAME Kavgraph)
install(TARGETS kavgraph EXPORT KavgraphTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library NAMELINK_COMPONENT development)

# Public headers: the library's own, its generated export header, and the few platform headers
# that they name (kept below include/kavgraph so that they cannot clash with anything else).
file(GLOB vd_kavgraph_headers ${PROJECT_SOURCE_DIR}/kavgraph/*.h)
list(FILTER vd_kavgraph_headers EXCLUDE REGEX "/(KVRegister|KVObjsBoxPrivate|KVRecordFields|KVStylesFields)\\.h$")
install(FILES ${vd_kavgraph_headers} ${PROJECT_BINARY_DIR}/kavgraph/include/kavgraph/kavgraph_export.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kavgraph COMPONENT development)
install(FILES ${PROJECT_SOURCE_DIR}/platform/core/Exception.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kavgraph/platform/core COMPONENT development)
install(FILES ${PROJECT_SOURCE_DIR}/platform/ui/Canvas.h ${PROJECT_SOURCE_DIR}/platform/ui/Colors.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kavgraph/platform/ui COMPONENT development)

set(VD_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Kavgraph)
install(EXPORT KavgraphTargets NAMESPACE Kavgraph:: DESTINATION ${VD_CMAKE_PACKAGE_DIR}
  COMPONENT development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KavgraphConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KavgraphConfig.cmake INSTALL_DESTINATION ${VD_CMAKE_PACKAGE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KavgraphConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KavgraphConfig.cmake ${PROJECT_BINARY_DIR}/KavgraphConfigVersion.cmake
  DESTINATION ${VD_CMAKE_PACKAGE_DIR} COMPONENT development)
file(RELATIVE_PATH VD_PC_TO_PREFIX /p/${CMAKE_INSTALL_LIBDIR}/pkgconfig /p)
configure_file(${PROJECT_SOURCE_DIR}/cmake/kavgraph.pc.in ${PROJECT_BINARY_DIR}/kavgraph.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kavgraph.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT development)

# ---- Data ----
install(FILES
  ${PROJECT_SOURCE_DIR}/samples/lcl.qmk
  ${PROJECT_SOURCE_DIR}/samples/kavgraph-sample.slb
  ${PROJECT_SOURCE_DIR}/samples/sample-diagram.kvg
  ${PROJECT_SOURCE_DIR}/samples/sample-diagram.kvi
  DESTINATION ${CMAKE_INSTALL_DATADIR}/quillmark/samples COMPONENT programs)
foreach(optional lcl.topics)
  if(EXISTS ${PROJECT_SOURCE_DIR}/samples/${optional})
    install(FILES ${PROJECT_SOURCE_DIR}/samples/${optional}
      DESTINATION ${CMAKE_INSTALL_DATADIR}/quillmark/samples COMPONENT programs)
  endif()
endforeach()

file(GLOB vd_desktop_files ${PROJECT_SOURCE_DIR}/data/applications/*.desktop)
install(FILES ${vd_desktop_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT programs)
install(FILES ${PROJECT_SOURCE_DIR}/data/mime/quillmark.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages COMPONENT programs)
file(GLOB vd_icons ${PROJECT_SOURCE_DIR}/data/icons/*.svg)
install(FILES ${vd_icons} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  COMPONENT programs)
file(GLOB vd_mime_icons ${PROJECT_SOURCE_DIR}/data/icons/mimetypes/*.svg)
install(FILES ${vd_mime_icons} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes
  COMPONENT programs)

# ---- Man pages ----
foreach(program IN LISTS VD_PROGRAMS)
  if(program STREQUAL "diagram-editor")
    set(page kavgraph-editor)
  else()
    set(page ${program})
  endif()
  if(TARGET ${program} AND EXISTS ${PROJECT_SOURCE_DIR}/docs/man/${page}.1)
    install(FILES ${PROJECT_SOURCE_DIR}/docs/man/${page}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
      COMPONENT programs)
  endif()
endforeach()

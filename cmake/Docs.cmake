# API reference of the Kavgraph library: `cmake --build build --target docs` writes HTML from the
# public headers into build/docs/html, with the guide as its first page.
find_package(Doxygen QUIET)
if(NOT DOXYGEN_FOUND)
  return()
endif()
file(GLOB vd_doc_headers ${PROJECT_SOURCE_DIR}/kavgraph/*.h)
list(FILTER vd_doc_headers EXCLUDE REGEX "/(KVRegister|KVObjsBoxPrivate|KVRecordFields|KVStylesFields)\\.h$")
set(DOXYGEN_PROJECT_NAME Kavgraph)
set(DOXYGEN_PROJECT_NUMBER ${PROJECT_VERSION})
set(DOXYGEN_PROJECT_BRIEF "Diagram component library for Qt 6")
set(DOXYGEN_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/docs)
set(DOXYGEN_GENERATE_LATEX NO)
set(DOXYGEN_JAVADOC_AUTOBRIEF YES)
# One comment over a group of members (a getter and its setter) documents each of them.
set(DOXYGEN_DISTRIBUTE_GROUP_DOC YES)
# Pages show the includes as a program writes them: #include <kavgraph/KVObjsBox.h>.
set(DOXYGEN_STRIP_FROM_INC_PATH ${PROJECT_SOURCE_DIR})
set(DOXYGEN_STRIP_FROM_PATH ${PROJECT_SOURCE_DIR})
set(DOXYGEN_MARKDOWN_SUPPORT YES)
set(DOXYGEN_WARN_IF_UNDOCUMENTED YES)
# tests/install/docs_test.sh fails on every undocumented public member named here.
set(DOXYGEN_WARN_LOGFILE ${PROJECT_BINARY_DIR}/docs/warnings.txt)
set(DOXYGEN_ENABLE_PREPROCESSING YES)
set(DOXYGEN_MACRO_EXPANSION YES)
# Properties are documented at their getters and setters.
set(DOXYGEN_PREDEFINED "KAVGRAPH_EXPORT=" "KAVGRAPH_NO_EXPORT=" "Q_OBJECT=" "Q_PROPERTY(x)=")
set(DOXYGEN_EXCLUDE_SYMBOLS "detail" "Q_PROPERTY")
set(DOXYGEN_USE_MDFILE_AS_MAINPAGE ${PROJECT_SOURCE_DIR}/docs/kavgraph-guide.md)
doxygen_add_docs(docs ${vd_doc_headers} ${PROJECT_SOURCE_DIR}/docs/kavgraph-guide.md
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  COMMENT "Kavgraph API reference in build/docs/html")

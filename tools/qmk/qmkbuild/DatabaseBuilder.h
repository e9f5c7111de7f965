#pragma once
// Writes a runtime database from a scanned source library, through the database's own write
// operations: the symbol table and, for every class, its horizontal and vertical diagram.

#include "tools/qmk/qmkbuild/SourceLibrary.h"

#include <functional>
#include <string>

namespace qmkbuild {

struct BuildCounts {
    size_t units = 0, classes = 0, interfaces = 0, diagrams = 0;
    // Where the time went, in seconds: the symbol table's contents (events told from
    // properties, lists sorted), the inheritance forest and the diagrams' layout, and writing.
    double contentsSeconds = 0, layoutSeconds = 0, writeSeconds = 0;
};

// Called now and then while diagrams are laid out and written: diagrams done, in all.
using DiagramProgress = std::function<void(size_t done, size_t total)>;

// Writes the database to fileName. The file is written beside the target under a temporary
// name and renamed over it when complete, so a failed build leaves any earlier file as it
// was; a missing folder is created. Failures raise the store's exceptions.
BuildCounts WriteRuntimeDatabase(SourceLibrary &library, const std::string &libraryName, const std::string &fileName,
                                 const DiagramProgress &progress = {});

} // namespace qmkbuild

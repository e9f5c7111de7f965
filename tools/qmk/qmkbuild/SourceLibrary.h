#pragma once
// A documented library read from Object Pascal sources: the units found under the given
// paths, what the symbol table of a runtime database holds about them, and the laid-out
// inheritance diagram of each class.

#include "tools/qmk/qmkbuild/ClassForest.h"
#include "tools/qmk/qmkbuild/PascalScanner.h"
#include "tools/qmk/qmkbuild/TreeLayout.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qmkbuild {

// What the symbol table stores of a class or interface.
struct ClassEntry {
    std::string name;
    std::string extraString; // the ancestor list, at most 254 characters
    std::vector<std::string> properties, methods, events;
};

struct UnitEntry {
    std::string name;
    std::vector<ClassEntry> interfaces, classes;
    std::vector<std::string> routines;
};

// Every list sorted with the browser's collation.
struct LibraryContents {
    std::string name;
    std::vector<UnitEntry> units;
};

class SourceLibrary {
public:
    // Longest name a database can store.
    static constexpr size_t kMaxName = 254;
    // Most entries of one unit's interface, class or routine list.
    static constexpr size_t kMaxUnitList = 65535;
    // Most entries of any other stored list.
    static constexpr size_t kMaxList = 100000;
    // Most levels of a diagram that a reader accepts.
    static constexpr int kMaxDiagramDepth = 1000;

    // Reads the units under the paths: a folder is searched recursively for .pas, .pp and .p
    // files, a file is read as it is. Include files are looked up in the including file's
    // folder, then in includeDirs, then in the given folders (and the folders of given
    // files), in order.
    void Scan(const std::vector<std::string> &paths, const std::vector<std::string> &includeDirs = {});
    // Scans source text as one file, without include files (tests, fuzzing).
    void ScanText(std::string_view source, const std::string &fileName);

    // Called before each file is scanned: files done, files in all, the file.
    using ScanProgress = std::function<void(size_t done, size_t total, const std::string &file)>;
    void SetScanProgress(ScanProgress progress) { fProgress = std::move(progress); }

    const std::vector<Warning> &Warnings() const { return fWarnings; }
    void AddWarning(Warning w) { fWarnings.push_back(std::move(w)); }
    size_t FilesScanned() const { return fFilesScanned; }
    size_t BytesScanned() const { return fBytesScanned; }
    const std::vector<UnitDecl> &Units() const { return fUnits; }

    // The symbol table's contents; events are told from other properties here.
    LibraryContents Contents(const std::string &libraryName);
    // The classes that get a diagram: every declared class and object, in name order.
    std::vector<std::string> DiagramClasses();
    // The class's diagram: its ancestor chain from the top down to the class, and every
    // descendant of the class. Nothing for a name that is no declared class, and for a
    // diagram of more than kMaxDiagramDepth levels.
    std::optional<LaidOutNode> Diagram(const std::string &className, bool horizontal);

private:
    void AddUnit(UnitDecl unit);
    const ClassForest &Forest();
    std::string PropertyTypeFromAncestors(const TypeDecl &decl, const std::string &property);
    std::string Fit(const std::string &name, const std::string &file);

    std::vector<UnitDecl> fUnits;
    std::unordered_map<std::string, size_t> fUnitIndex; // lower-case name
    TypeCatalog fCatalog;
    std::vector<Warning> fWarnings;
    std::unique_ptr<ClassForest> fForest;
    size_t fFilesScanned = 0;
    size_t fBytesScanned = 0;
    ScanProgress fProgress;
};

} // namespace qmkbuild

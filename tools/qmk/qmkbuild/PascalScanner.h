#pragma once
// Reads the interface section of Object Pascal units: the classes, old-style objects and
// interfaces with their properties and methods, and the global routines. Include files are
// spliced in; every branch of conditional compilation is read (see UnitScanner::Scan).
// Broken declarations give warnings and the scan goes on; the scanner never throws on bad
// input.

#include "tools/qmk/qmkbuild/PascalDeclarations.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace qmkbuild {

class UnitScanner {
public:
    // includeDirs: searched for include files after the including file's folder.
    UnitScanner(TypeCatalog &catalog, std::vector<Warning> &warnings,
                std::vector<std::filesystem::path> includeDirs = {});
    ~UnitScanner();

    // Scans the unit in a file; nothing when the file is no unit or cannot be read.
    std::optional<UnitDecl> ScanFile(const std::filesystem::path &file);
    // Scans source text; fileName is used in warnings and as the folder for includes.
    std::optional<UnitDecl> Scan(std::string_view source, const std::string &fileName);
    // Without include files, {$I} is passed over (text that is not from a file).
    void SetReadIncludes(bool read) { fReadIncludes = read; }

    // Limits against hostile input.
    static constexpr int kMaxIncludeDepth = 16;
    static constexpr size_t kMaxTokensPerPass = 8'000'000;
    static constexpr int kMaxPasses = 16;

private:
    struct SourceFile;
    struct PassResult;
    // The regular files of a folder: their names, and the name for each lower-case name.
    struct FolderListing {
        std::unordered_set<std::string> exact;
        std::unordered_map<std::string, std::string> byLower;
    };

    const FolderListing &Listing(const std::filesystem::path &folder);

    std::optional<UnitDecl> ScanOwned(std::string source, const std::string &fileName);
    SourceFile *Load(const std::filesystem::path &path, std::string text);
    SourceFile *FindInclude(const SourceFile &from, const std::string &name, int line);
    std::optional<UnitDecl> ScanLoaded(SourceFile &root);
    void Warn(const SourceFile &file, int line, std::string message);

    TypeCatalog &fCatalog;
    std::vector<Warning> &fWarnings;
    std::vector<std::filesystem::path> fIncludeDirs;
    bool fReadIncludes = true;
    std::vector<std::unique_ptr<SourceFile>> fFiles; // of the unit being scanned
    std::map<std::string, SourceFile *> fByPath;
    std::unordered_map<std::string, FolderListing> fFolders; // by path, for the scanner's life
    std::set<std::tuple<std::string, int, std::string>> fWarned; // each warning once
};

} // namespace qmkbuild

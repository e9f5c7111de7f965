#pragma once
// Reads the interface section of Object Pascal units: the classes, old-style objects and
// interfaces with their properties and methods, and the global routines. Include files are
// spliced in; every branch of conditional compilation is read (see UnitScanner::Scan).
// Broken declarations give warnings and the scan goes on; the scanner never throws on bad
// input.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qmkbuild {

enum class TypeKind : uint8_t { Class, Object, Interface, DispInterface };

struct PropertyDecl {
    std::string name;
    std::string type; // bare type name; empty for a redeclared property without a type
};

struct TypeDecl {
    std::string name;
    TypeKind kind = TypeKind::Class;
    std::string ancestors; // the ancestor list as written, blanks collapsed
    std::string ancestor;  // the first ancestor's bare name; empty when none is declared
    std::vector<std::string> methods;
    std::vector<PropertyDecl> properties;
    std::string file;
    int line = 0;

    bool IsInterface() const { return kind == TypeKind::Interface || kind == TypeKind::DispInterface; }
};

struct UnitDecl {
    std::string name;
    std::string file;
    std::vector<TypeDecl> types; // classes, objects and interfaces in declaration order
    std::vector<std::string> routines;

    // Folds a declaration seen again (another branch, another file of the same unit) into
    // the first one: members are united, the first ancestor list is kept.
    void Add(TypeDecl decl);
    // Merges another scan of the same unit.
    void Merge(UnitDecl other);
    // Removes repeated names (letter case ignored): overloads, redeclarations, branches.
    void RemoveDuplicates();

private:
    std::unordered_map<std::string, size_t> fIndex; // lower-case name -> types index
};

struct Warning {
    std::string file;
    int line = 0;
    std::string message;
};

// Every type name declared in the scanned sources, to tell events from other properties.
class TypeCatalog {
public:
    // Knows the language's own types (Boolean, Integer, string, ...) from the start.
    TypeCatalog();

    void AddMethodPointer(std::string_view name);
    void AddAlias(std::string_view name, std::string_view target);
    void AddOther(std::string_view name);

    bool IsDeclared(std::string_view name) const;
    // The lower-case target of "Name = Target;", or empty.
    std::string AliasTarget(std::string_view name) const;
    // A method pointer type, directly or through aliases.
    bool IsMethodPointer(std::string_view name) const;

private:
    struct Entry {
        bool methodPointer = false;
        std::vector<std::string> aliasOf; // lower case
    };
    std::unordered_map<std::string, Entry> fTypes; // lower-case name
};

std::string Lower(std::string_view s);

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

    SourceFile *Load(const std::filesystem::path &path, std::string_view text);
    SourceFile *FindInclude(const SourceFile &from, const std::string &name, int line);
    std::optional<UnitDecl> ScanLoaded(SourceFile &root);
    void Warn(const SourceFile &file, int line, std::string message);

    TypeCatalog &fCatalog;
    std::vector<Warning> &fWarnings;
    std::vector<std::filesystem::path> fIncludeDirs;
    bool fReadIncludes = true;
    std::vector<std::unique_ptr<SourceFile>> fFiles; // of the unit being scanned
    std::map<std::string, SourceFile *> fByPath;
    std::set<std::tuple<std::string, int, std::string>> fWarned; // each warning once
};

} // namespace qmkbuild

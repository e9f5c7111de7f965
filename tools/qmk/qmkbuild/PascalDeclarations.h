#pragma once
// What the interface-section scanner finds in Object Pascal units: the classes, objects and
// interfaces with their members, the global routines, the warnings, and the catalog of every
// declared type name that tells events from other properties.

#include <cstdint>
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
    // A class of another target (Java, Objective-C, C++): without an ancestor it is a root,
    // not a descendant of TObject.
    bool foreign = false;

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
    // Names compare without regard to ASCII letter case, so lookups need no lower-case copy.
    struct NoCaseHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const;
    };
    struct NoCaseEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    Entry &Slot(std::string_view name);

    std::unordered_map<std::string, Entry, NoCaseHash, NoCaseEqual> fTypes;
};

std::string Lower(std::string_view s);

} // namespace qmkbuild

#pragma once
// Writes a complete runtime database through the objects' own write operations: the version
// record ("Quillmark Runtime Database" 5.1), the symbol table in "_symboltable", and stored
// inheritance diagrams in "Horizontal Inheritance Diagrams" and "Vertical Inheritance
// Diagrams". A class name of 32 characters or more is stored under a mapped element name
// (its first characters, "~", a base-36 code) listed in the sub-storage's "_sys__SubItemsList".

#include "browser/runtime/L1Quillmark_RunTimeDatabase.h"

#include <memory>
#include <string>

class TL1Quillmark_RunTimeDatabaseWriter {
public:
    // Creates the file (replacing an existing one) with its version record and both diagram
    // sub-storages; a missing folder is created after asking, as for any new database.
    explicit TL1Quillmark_RunTimeDatabaseWriter(const std::string &fileName);
    ~TL1Quillmark_RunTimeDatabaseWriter();
    TL1Quillmark_RunTimeDatabaseWriter(const TL1Quillmark_RunTimeDatabaseWriter &) = delete;
    TL1Quillmark_RunTimeDatabaseWriter &operator=(const TL1Quillmark_RunTimeDatabaseWriter &) = delete;

    TvdStorage &RootStorage();

    // Writes the table (its lists sorted) as "_symboltable".
    void WriteSymbolTable(const TL1OPascalSymbolTable &table);
    // Stores the diagram as the class's diagram in the given orientation (replacing one
    // stored before under that name).
    void WriteTreeDiagram(const std::string &className, const TvdTreeDiagram &diagram, bool horizontal);
    // Writes the name lists of long class names and closes the file. Without it the
    // destructor does the same, swallowing errors.
    void Finish();

private:
    struct SubStorage;

    std::unique_ptr<TL1Quillmark_RunTimeDatabase> fDatabase;
    std::unique_ptr<SubStorage> fHorizontal;
    std::unique_ptr<SubStorage> fVertical;
};

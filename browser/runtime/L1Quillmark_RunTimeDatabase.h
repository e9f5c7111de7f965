#pragma once
// The runtime documentation database (a ".QMK" compound file) and the program-wide browser
// facade that opens it.
//
// A database file holds "_sys__DatabaseInfo" ("Quillmark Runtime Database", major version 5),
// the symbol table in "_symboltable", and one stored inheritance diagram per class in each of
// the sub-storages "Horizontal Inheritance Diagrams" and "Vertical Inheritance Diagrams"
// (streams named after the class; names of 32 characters or more mapped through the
// sub-storage's "_sys__SubItemsList").
//
// The browser reads the symbol table once and closes the file; diagrams are read on request
// with the file re-attached briefly, and kept in a cache. A runtime database is a reader
// (TvdAttachMode::vdReader) unless its creator makes it a writer: it never creates a file, and a
// file that may be read but not written is attached read-only, with nothing created in it.

#include "browser/store/L1PersistentObjects.h"
#include "browser/symbols/L1OPascalSymbolTable.h"
#include "browser/treediagram/L1TreeDiagramNode.h"

#include <memory>
#include <string>

extern const char *const vdRunTimeDatabaseName;        // "Quillmark Runtime Database"
extern const char *const vdSymbolTableStreamName;      // "_symboltable"
extern const char *const vdHorizontalDiagramsStorageName; // "Horizontal Inheritance Diagrams"
extern const char *const vdVerticalDiagramsStorageName;   // "Vertical Inheritance Diagrams"

class TL1Quillmark_RunTimeDatabase : public TvdStorageDatabase {
public:
    // A reader; the writer of new files sets vdWriter.
    TL1Quillmark_RunTimeDatabase();
    ~TL1Quillmark_RunTimeDatabase() override;

    std::string ClassName() const override { return "TL1Quillmark_RunTimeDatabase"; }

    // Closes the file and drops the diagram sub-storages; the symbol table, the diagram cache
    // and the name lists are kept.
    void Close() override;

    // Replaces the symbol table with the one in "_symboltable". After a failure there is no
    // symbol table until the next successful load.
    void LoadSymbolTable();
    // The loaded table; an empty table before the first load; nullptr after a failed load.
    TL1OPascalSymbolTable *SymbolTable() const { return fSymbolTable.get(); }

    // The diagram sub-storages, opened on first use. A missing one is created, except in a
    // file attached read-only, where the result is nullptr.
    TvdStorage *GetHorizontalDiagramsStorage();
    TvdStorage *GetVerticalDiagramsStorage();

    // The stored diagram of the class in the given orientation, or nullptr when there is none
    // or it cannot be read. The diagram stays owned by the database's cache.
    TvdTreeDiagram *GetTreeDiagram(const std::string &className, bool horizontal);

    // The diagram cache: entries "H#" or "V#" + class name, sorted, owning the diagrams.
    const TStringList &LoadedSubDiagrams() const { return fLoadedSubDiagrams; }

private:
    TvdStorage *DiagramsStorage(bool horizontal);

    std::unique_ptr<TL1OPascalSymbolTable> fSymbolTable;
    std::unique_ptr<TvdStorage> fHorizontalInheritanceDiagramsStorage;
    std::unique_ptr<TvdStorage> fVerticalInheritanceDiagramsStorage;
    TStringList fLoadedSubDiagrams{true};
    std::unique_ptr<TvdStorage_SubItemNames_Server> fVerticalNamesServer;
    std::unique_ptr<TvdStorage_SubItemNames_Server> fHorizontalNamesServer;
};

// The browser facade: owns the current runtime database.
class TvdQuillmarkBrowser {
public:
    TvdQuillmarkBrowser();
    ~TvdQuillmarkBrowser();
    TvdQuillmarkBrowser(const TvdQuillmarkBrowser &) = delete;
    TvdQuillmarkBrowser &operator=(const TvdQuillmarkBrowser &) = delete;

    TL1Quillmark_RunTimeDatabase *RunTimeDb() const { return fRunTimeDb.get(); }
    TL1OPascalSymbolTable *GetSymbolTable() const;

    // Replaces the database with a new one attached to the file, loads its symbol table and
    // closes the file again. A missing file fails and nothing is created.
    void OpenDatabase(const std::string &fileName);

    // Appends the all-routines list: each routine name once; a name declared by several
    // units once per unit as "Name (Unit)".
    void FillRoutineList(TStringList &output) const;

private:
    std::unique_ptr<TL1Quillmark_RunTimeDatabase> fRunTimeDb;
};

// The program's single facade, created on first use.
TvdQuillmarkBrowser &QuillmarkBrowser();

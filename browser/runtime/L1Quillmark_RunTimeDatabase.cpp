// The runtime database and the browser facade.

#include "browser/runtime/L1Quillmark_RunTimeDatabase.h"

#include "browser/support/L1DebugWindow.h"
#include "platform/text/Collation.h"


const char *const vdRunTimeDatabaseName = "Quillmark Runtime Database";
const char *const vdSymbolTableStreamName = "_symboltable";
const char *const vdHorizontalDiagramsStorageName = "Horizontal Inheritance Diagrams";
const char *const vdVerticalDiagramsStorageName = "Vertical Inheritance Diagrams";

namespace {
std::string CacheKey(const std::string &name, bool horizontal) { return (horizontal ? "H#" : "V#") + name; }
} // namespace

// ---- The runtime database ----------------------------------------------------------------

TL1Quillmark_RunTimeDatabase::TL1Quillmark_RunTimeDatabase()
{
    TraceSection trace("TL1Quillmark_RunTimeDatabase.Create");
    DatabaseInfo().Name = vdRunTimeDatabaseName;
    DatabaseInfo().MajorVersion = 5;
    DatabaseInfo().MinorVersion = 1;
    DatabaseInfo().RebuildAfterConfirmation = false;
    SetAttachMode(TvdAttachMode::vdReader);
    fSymbolTable = std::make_unique<TL1OPascalSymbolTable>();
    fLoadedSubDiagrams.SetSorted(true);
    fVerticalNamesServer = std::make_unique<TvdStorage_SubItemNames_Server>();
    fHorizontalNamesServer = std::make_unique<TvdStorage_SubItemNames_Server>();
}

TL1Quillmark_RunTimeDatabase::~TL1Quillmark_RunTimeDatabase()
{
    TraceSection trace("TL1Quillmark_RunTimeDatabase.Destroy");
    fVerticalNamesServer.reset();
    fHorizontalNamesServer.reset();
    fSymbolTable.reset();
    DebugWindow().WriteLine("Before  fHorizontalInheritanceDiagramsStorage.Free");
    fHorizontalInheritanceDiagramsStorage.reset();
    DebugWindow().WriteLine("Before  fVerticalInheritanceDiagramsStorage.Free");
    fVerticalInheritanceDiagramsStorage.reset();
    DebugWindow().WriteLine("Before  L1DeepFreeStringList(fLoadedSubDiagrams)");
    fLoadedSubDiagrams.Clear();
}

void TL1Quillmark_RunTimeDatabase::Close()
{
    TvdStorageDatabase::Close();
    fHorizontalInheritanceDiagramsStorage.reset();
    fVerticalInheritanceDiagramsStorage.reset();
}

void TL1Quillmark_RunTimeDatabase::LoadSymbolTable()
{
    TraceSection trace("LoadSymbolTable");
    fSymbolTable.reset();
    fSymbolTable = L1LoadObjectFromItsOwnStream<TL1OPascalSymbolTable>(GetRootStorage(), vdSymbolTableStreamName);
}

TvdStorage *TL1Quillmark_RunTimeDatabase::DiagramsStorage(bool horizontal)
{
    std::unique_ptr<TvdStorage> &storage =
        horizontal ? fHorizontalInheritanceDiagramsStorage : fVerticalInheritanceDiagramsStorage;
    if (storage)
        return storage.get();
    const char *name = horizontal ? vdHorizontalDiagramsStorageName : vdVerticalDiagramsStorageName;
    TvdStorage *root = GetRootStorage();
    if (IsReadOnly()) {
        // Nothing is created in a file attached read-only: a missing sub-storage holds no diagram.
        if (root->SubStorageExists(name))
            storage = root->OpenSubStorage(name, vdModeProbe);
        return storage.get();
    }
    storage = root->OpenOrCreateSubStorage(name, vdModeReadWrite, true);
    if (!storage)
        throw Exception(std::string("Couldn't open SubStorage for ") + (horizontal ? "Horizontal" : "Vertical") +
                        " class diagrams in the runtime database");
    return storage.get();
}

TvdStorage *TL1Quillmark_RunTimeDatabase::GetHorizontalDiagramsStorage() { return DiagramsStorage(true); }

TvdStorage *TL1Quillmark_RunTimeDatabase::GetVerticalDiagramsStorage() { return DiagramsStorage(false); }

TvdTreeDiagram *TL1Quillmark_RunTimeDatabase::GetTreeDiagram(const std::string &className, bool horizontal)
{
    TvdStorage *storage = DiagramsStorage(horizontal);
    if (!storage)
        return nullptr;
    std::string elementName =
        (horizontal ? fHorizontalNamesServer : fVerticalNamesServer)->GetStorageName(*storage, className);

    // Cached under the requested class name: diagrams of different classes may share a root.
    std::string key = CacheKey(className, horizontal);
    int index = 0;
    if (fLoadedSubDiagrams.Find(key, index))
        return static_cast<TvdTreeDiagram *>(fLoadedSubDiagrams.Objects(index));
    if (elementName.empty())
        return nullptr;

    std::unique_ptr<TvdTreeDiagram> diagram;
    try {
        diagram = L1LoadObjectFromItsOwnStream<TvdTreeDiagram>(storage, elementName);
    } catch (const std::exception &) {
        return nullptr;
    }
    TvdTreeDiagram *result = diagram.get();
    fLoadedSubDiagrams.Add(key, diagram.release());
    return result;
}

// ---- The facade ------------------------------------------------------------------------------

TvdQuillmarkBrowser::TvdQuillmarkBrowser() : fRunTimeDb(std::make_unique<TL1Quillmark_RunTimeDatabase>()) {}

TvdQuillmarkBrowser::~TvdQuillmarkBrowser() = default;

TL1OPascalSymbolTable *TvdQuillmarkBrowser::GetSymbolTable() const
{
    CheckPrecondition(fRunTimeDb != nullptr, "TvdQuillmarkBrowser.GetSymbolTable", "RunTimeDb<>nil");
    return fRunTimeDb->SymbolTable();
}

void TvdQuillmarkBrowser::OpenDatabase(const std::string &fileName)
{
    fRunTimeDb.reset();
    fRunTimeDb = std::make_unique<TL1Quillmark_RunTimeDatabase>();
    try {
        // A missing file is an error, never a new database.
        fRunTimeDb->AttachTo(fileName, false);
        fRunTimeDb->LoadSymbolTable();
    } catch (...) {
        fRunTimeDb->Close();
        throw;
    }
    fRunTimeDb->Close();
}

void TvdQuillmarkBrowser::FillRoutineList(TStringList &output) const
{
    const TL1OPascalSymbolTable *table = GetSymbolTable();
    if (!table)
        return;
    const TStringList &routines = table->Routines();
    int i = 0;
    while (i < routines.Count()) {
        const std::string &name = routines.Strings(i);
        int next = i + 1;
        while (next < routines.Count() && text::CompareText(routines.Strings(next), name) == 0)
            ++next;
        if (next - i == 1)
            output.Add(name);
        else
            table->ListRoutineOwners(name, output);
        i = next;
    }
}

TvdQuillmarkBrowser &QuillmarkBrowser()
{
    static TvdQuillmarkBrowser browser;
    return browser;
}

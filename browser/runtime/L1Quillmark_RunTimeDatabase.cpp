#include "browser/runtime/L1Quillmark_RunTimeDatabase.h"

#include "browser/support/L1DebugWindow.h"
#include "platform/text/Collation.h"

#include <fcntl.h>
#include <unistd.h>

const char *const vdRunTimeDatabaseName = "Quillmark Runtime Database";
const char *const vdSymbolTableStreamName = "_symboltable";
const char *const vdHorizontalDiagramsStorageName = "Horizontal Inheritance Diagrams";
const char *const vdVerticalDiagramsStorageName = "Vertical Inheritance Diagrams";

namespace {

// Read-only, share-exclusive: how a file that may not be written is opened, with its elements.
constexpr uint32_t kReadOnlyMode = 0x0010;

bool MayWrite(const std::string &fileName)
{
    return faccessat(AT_FDCWD, fileName.c_str(), W_OK, AT_EACCESS) == 0;
}

// Reads an object from its own stream, opened read-only; the caller owns the result.
template <class T>
std::unique_ptr<T> LoadReadOnly(TvdStorage &storage, const std::string &streamName)
{
    auto object = std::make_unique<T>();
    std::unique_ptr<TvdStream> stream = storage.OpenStream(streamName, kReadOnlyMode);
    object->ReadFromStream(*stream);
    return object;
}

std::string CacheKey(const std::string &name, bool horizontal) { return (horizontal ? "H#" : "V#") + name; }

} // namespace

// The element names of a sub-storage of a file attached read-only, as the names server maps
// them: a name under 32 characters is its own element name, a longer one is looked up in the
// sub-storage's "_sys__SubItemsList" (empty when it is not listed).
struct TL1Quillmark_RunTimeDatabase::ReadOnlyNames {
    TStringList list{true};

    explicit ReadOnlyNames(TvdStorage &storage)
    {
        if (!storage.StreamExists(vdSubItemsListStreamName))
            return;
        std::unique_ptr<TvdStream> stream = storage.OpenStream(vdSubItemsListStreamName, kReadOnlyMode);
        stream->ReadHomogeneousStringList<TvdStorage_SubItemName_MappingValue>(&list);
        list.AssumeSorted();
    }

    std::string StorageName(const std::string &logicalName) const
    {
        if (logicalName.size() < 32)
            return logicalName;
        int index = list.IndexOf(logicalName);
        return index >= 0 ? static_cast<TvdStorage_SubItemName_MappingValue *>(list.Objects(index))->StorageName()
                          : std::string();
    }
};

// ---- The runtime database ----------------------------------------------------------------

TL1Quillmark_RunTimeDatabase::TL1Quillmark_RunTimeDatabase()
{
    TraceSection trace("TL1Quillmark_RunTimeDatabase.Create");
    DatabaseInfo().Name = vdRunTimeDatabaseName;
    DatabaseInfo().MajorVersion = 5;
    DatabaseInfo().MinorVersion = 1;
    DatabaseInfo().RebuildAfterConfirmation = false;
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
    fReadOnlyHorizontalNames.reset();
    fReadOnlyVerticalNames.reset();
    fReadOnlyRoot.reset();
}

void TL1Quillmark_RunTimeDatabase::AttachTo(const std::string &fileName, bool buildNewIfNotFound)
{
    fAttachedFileName = fileName;
    if (L1IsStorageFile(fileName) && !MayWrite(fileName)) {
        AttachReadOnly(fileName);
        return;
    }
    fReadOnly = false;
    TvdStorageDatabase::AttachTo(fileName, buildNewIfNotFound);
}

void TL1Quillmark_RunTimeDatabase::AttachReadOnly(const std::string &fileName)
{
    TraceSection trace(ClassName() + ".AttachTo(" + fileName + ")");
    if (fReadOnlyRoot || TvdStorageDatabase::IsAttached())
        Close();
    fReadOnly = true;
    fReadOnlyRoot = TvdStorage::OpenStorageFile(fileName, kReadOnlyMode);
    try {
        auto stored = LoadReadOnly<TvdDatabaseInfo>(*fReadOnlyRoot, vdDatabaseInfoStreamName);
        StoredInfo().Name = stored->Name;
        StoredInfo().MajorVersion = stored->MajorVersion;
        StoredInfo().MinorVersion = stored->MinorVersion;
    } catch (const Exception &e) {
        throw Exception("Couldn't load database/version info for this structured storage file." + CrLf +
                        "Depending upon which type of database this is, you may want to delete and regenerate it." +
                        CrLf + CrLf + e.Message());
    }
    if (StoredInfo().MajorVersion < DatabaseInfo().MajorVersion) {
        // A read-only file cannot be rebuilt.
        ShowInformation("This program tried to attach to an old version of database (" + DatabaseInfo().Name +
                        "). Please rebuild this database with the appropriate tool/application before trying to "
                        "attach to/open it again.");
        SilentAbort();
    }
    AfterAttach(false);
}

void TL1Quillmark_RunTimeDatabase::EnsureAttached(bool buildNewIfNotFound)
{
    if (IsAttached())
        return;
    if (fAttachedFileName.empty())
        TvdStorageDatabase::EnsureAttached(buildNewIfNotFound);
    else
        AttachTo(fAttachedFileName, buildNewIfNotFound);
}

TvdStorage *TL1Quillmark_RunTimeDatabase::GetRootStorage()
{
    // Attaching again never builds a new file: the browser creates no databases.
    if (!IsAttached() && !fAttachedFileName.empty())
        AttachTo(fAttachedFileName, false);
    if (fReadOnlyRoot)
        return fReadOnlyRoot.get();
    return TvdStorageDatabase::GetRootStorage();
}

bool TL1Quillmark_RunTimeDatabase::IsAttached() const
{
    return fReadOnlyRoot != nullptr || TvdStorageDatabase::IsAttached();
}

void TL1Quillmark_RunTimeDatabase::Close()
{
    if (fReadOnlyRoot) {
        bool allow = true;
        CanClose(allow);
        if (allow) {
            fHorizontalInheritanceDiagramsStorage.reset();
            fVerticalInheritanceDiagramsStorage.reset();
            fReadOnlyRoot.reset();
            AfterClose();
        }
    } else {
        TvdStorageDatabase::Close();
    }
    fHorizontalInheritanceDiagramsStorage.reset();
    fVerticalInheritanceDiagramsStorage.reset();
}

void TL1Quillmark_RunTimeDatabase::LoadSymbolTable()
{
    TraceSection trace("LoadSymbolTable");
    fSymbolTable.reset();
    TvdStorage *root = GetRootStorage();
    if (fReadOnly)
        fSymbolTable = LoadReadOnly<TL1OPascalSymbolTable>(*root, vdSymbolTableStreamName);
    else
        fSymbolTable = L1LoadObjectFromItsOwnStream<TL1OPascalSymbolTable>(root, vdSymbolTableStreamName);
}

TvdStorage *TL1Quillmark_RunTimeDatabase::DiagramsStorage(bool horizontal)
{
    std::unique_ptr<TvdStorage> &storage =
        horizontal ? fHorizontalInheritanceDiagramsStorage : fVerticalInheritanceDiagramsStorage;
    if (storage)
        return storage.get();
    const char *name = horizontal ? vdHorizontalDiagramsStorageName : vdVerticalDiagramsStorageName;
    TvdStorage *root = GetRootStorage();
    if (fReadOnly) {
        if (root->SubStorageExists(name))
            storage = root->OpenSubStorage(name, kReadOnlyMode);
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

std::string TL1Quillmark_RunTimeDatabase::ElementName(TvdStorage &storage, const std::string &className,
                                                      bool horizontal)
{
    if (!fReadOnly)
        return (horizontal ? fHorizontalNamesServer : fVerticalNamesServer)->GetStorageName(storage, className);
    std::unique_ptr<ReadOnlyNames> &names = horizontal ? fReadOnlyHorizontalNames : fReadOnlyVerticalNames;
    if (!names)
        names = std::make_unique<ReadOnlyNames>(storage);
    return names->StorageName(className);
}

TvdTreeDiagram *TL1Quillmark_RunTimeDatabase::GetTreeDiagram(const std::string &className, bool horizontal)
{
    TvdStorage *storage = DiagramsStorage(horizontal);
    if (!storage)
        return nullptr;
    std::string elementName = ElementName(*storage, className, horizontal);

    // Cached under the requested class name: diagrams of different classes may share a root.
    std::string key = CacheKey(className, horizontal);
    int index = 0;
    if (fLoadedSubDiagrams.Find(key, index))
        return static_cast<TvdTreeDiagram *>(fLoadedSubDiagrams.Objects(index));
    if (elementName.empty())
        return nullptr;

    std::unique_ptr<TvdTreeDiagram> diagram;
    try {
        if (fReadOnly)
            diagram = LoadReadOnly<TvdTreeDiagram>(*storage, elementName);
        else
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

// Persistent objects, the database file and the mapping of long element names.

#include "browser/store/L1PersistentObjects.h"

#include "browser/support/L1DebugWindow.h"
#include "platform/core/FileSystem.h"


const char *const vdDatabaseInfoStreamName = "_sys__DatabaseInfo";
const char *const vdSubItemsListStreamName = "_sys__SubItemsList";

namespace {
const char kStoragePrecondition[] = "(i_storage Is TvdStorage) and (i_storage<>nil)";

// Streams are read as the storage allows: read-write, or read-only in a storage opened so.
uint32_t ReadMode(const TvdStorage &storage) { return storage.IsReadOnly() ? vdModeProbe : vdModeReadWrite; }

} // namespace

// ---- Persistent objects ---------------------------------------------------------------------

void TvdPersistentObject::SaveToOwnStream(TvdStorage &storage, const std::string &streamName) const
{
    std::unique_ptr<TvdStream> stream = storage.CreateStream(streamName, vdModeCreateReadWrite);
    WriteToStream(*stream);
}

void TvdNamedPersistentObject::ReadFromStream(TvdStream &stream) { Name = stream.ReadShortLongString(); }

void TvdNamedPersistentObject::WriteToStream(TvdStream &stream) const { stream.WriteShortLongString(Name); }

std::unique_ptr<IvdPersistentObject> L1LoadObjectFromItsOwnStream(const TvdPersistentObjectClass &objectClass,
                                                                  TvdStorage *storage,
                                                                  const std::string &streamName)
{
    CheckPrecondition(storage != nullptr, "L1LoadObjectFromItsOwnStream", kStoragePrecondition);
    std::unique_ptr<IvdPersistentObject> object(objectClass());
    std::unique_ptr<TvdStream> stream = storage->OpenStream(streamName, ReadMode(*storage));
    object->ReadFromStream(*stream);
    return object;
}

void L1LoadListFromItsOwnStream(TvdStorage *storage, const std::string &streamName, TStringList *list,
                                const TvdPersistentObjectClass &elementClass)
{
    CheckPrecondition(storage != nullptr && list != nullptr, "L1LoadObjectFromItsOwnStream",
                      std::string(kStoragePrecondition) + "  and (e_stringList<>nil)");
    std::unique_ptr<TvdStream> stream = storage->OpenStream(streamName, ReadMode(*storage));
    stream->ReadHomogeneousStringList(list, elementClass);
}

// ---- Version record -------------------------------------------------------------------------

void TvdDatabaseInfo::ReadFromStream(TvdStream &stream)
{
    TvdNamedPersistentObject::ReadFromStream(stream);
    MajorVersion = stream.ReadInteger();
    MinorVersion = stream.ReadInteger();
}

void TvdDatabaseInfo::WriteToStream(TvdStream &stream) const
{
    TvdNamedPersistentObject::WriteToStream(stream);
    stream.WriteInteger(MajorVersion);
    stream.WriteInteger(MinorVersion);
}

void TvdDatabaseInfo::AssignInfo(const TvdDatabaseInfo &other)
{
    Name = other.Name;
    MajorVersion = other.MajorVersion;
    MinorVersion = other.MinorVersion;
    RebuildAfterConfirmation = other.RebuildAfterConfirmation;
    RebuildSilently = other.RebuildSilently;
}

void TvdDatabaseInfo::LoadFromDatabase(TvdStorageDatabase &database)
{
    try {
        auto info = L1LoadObjectFromItsOwnStream<TvdDatabaseInfo>(database.GetRootStorage(), vdDatabaseInfoStreamName);
        Name = info->Name;
        MajorVersion = info->MajorVersion;
        MinorVersion = info->MinorVersion;
    } catch (const EAbort &) {
        throw;
    } catch (const Exception &e) {
        throw Exception("Couldn't load database/version info for this structured storage file." + CrLf +
                        "Depending upon which type of database this is, you may want to delete and regenerate it." +
                        CrLf + CrLf + e.Message());
    }
}

void TvdDatabaseInfo::SaveToDatabase(TvdStorageDatabase &database) const
{
    SaveToOwnStream(*database.GetRootStorage(), vdDatabaseInfoStreamName);
}

// ---- Long element names -----------------------------------------------------------------------

void TvdStorage_SubItemName_MappingValue::ReadFromStream(TvdStream &stream)
{
    TvdNamedPersistentObject::ReadFromStream(stream);
    Code = stream.ReadShortLongString();
}

void TvdStorage_SubItemName_MappingValue::WriteToStream(TvdStream &stream) const
{
    TvdNamedPersistentObject::WriteToStream(stream);
    stream.WriteShortLongString(Code);
}

std::string TvdStorage_SubItemName_MappingValue::StorageName() const
{
    int keep = 30 - static_cast<int>(Code.size());
    return LeftChars(Name, keep) + "~" + Code;
}

void TvdStorage_SubItemNames_Server::ReadListFrom(TvdStorage &storage)
{
    fList.Clear();
    if (storage.StreamExists(vdSubItemsListStreamName)) {
        L1LoadListFromItsOwnStream<TvdStorage_SubItemName_MappingValue>(&storage, vdSubItemsListStreamName, &fList);
        DebugWindow().WriteLine(std::string("TvdStorage_SubItemNames_Server") + ".ReadListFrom storage:" +
                                vdSubItemsListStreamName);
    }
    // Stored in ascending order of the names: searched exactly as read.
    fList.AssumeSorted();
    fLoaded = true;
}

std::string TvdStorage_SubItemNames_Server::GetStorageName(TvdStorage &storage, const std::string &logicalName)
{
    if (!fLoaded)
        ReadListFrom(storage);
    if (logicalName.size() < 32)
        return logicalName;
    int index = fList.IndexOf(logicalName);
    if (index < 0)
        return {};
    return static_cast<TvdStorage_SubItemName_MappingValue *>(fList.Objects(index))->StorageName();
}

// ---- Database ---------------------------------------------------------------------------------

TvdStorageDatabase::TvdStorageDatabase()
    : fDatabaseInfo(std::make_unique<TvdDatabaseInfo>()), fStoredInfo(std::make_unique<TvdDatabaseInfo>())
{
}

TvdStorageDatabase::~TvdStorageDatabase()
{
    fDatabaseInfo.reset();
    fStoredInfo.reset();
    fRootStorage.reset();
}

void TvdStorageDatabase::AttachTo(const std::string &fileName, bool buildNewIfNotFound)
{
    fFileName = fileName;
    TraceSection trace(ClassName() + ".AttachTo(" + fileName + ")");
    if (L1IsStorageFile(fileName)) {
        fRootStorage.reset();
        fReadOnly = !MayBuild() && !fsys::MayWrite(fileName);
        fRootStorage = TvdStorage::OpenStorageFile(fileName, fReadOnly ? vdModeProbe : vdModeReadWrite);
        fStoredInfo->LoadFromDatabase(*this);
        if (fStoredInfo->MajorVersion < fDatabaseInfo->MajorVersion) {
            if (fDatabaseInfo->RebuildOnOldMajorVersion() && MayBuild()) {
                CheckPrecondition(buildNewIfNotFound, "TvdStorageDatabase: AttachTo;.", "i_buildNewIfNotFound=true");
                RebuildBecauseOfOldDatabaseVersion();
            } else {
                ShowInformation("This program tried to attach to an old version of database (" +
                                fDatabaseInfo->Name +
                                "). Please rebuild this database with the appropriate tool/application before "
                                "trying to attach to/open it again.");
                SilentAbort();
            }
        } else {
            AfterAttach(false);
        }
    } else if (fsys::Exists(fileName) && !fsys::IsDirectory(fileName)) {
        throw E_VDPersistentObjects("The Persistent Objects System should attach to the Structured Storage file: " +
                                    fileName + ", " + CrLf +
                                    "but this file was not a storage file, but exists as a \"normal\" file. In case "
                                    "this is a valuable file, move it, else just delete it.");
    } else if (!buildNewIfNotFound || !MayBuild()) {
        throw E_VDPersistentObjects(
            "The Persistent Objects System couldn't attach to the Structured Storage Database file: " + fileName);
    } else {
        BuildNew(fileName);
        AfterAttach(true);
    }
}

void TvdStorageDatabase::BuildNew(const std::string &fileName)
{
    TraceSection trace(ClassName() + ".BuildNew(" + fileName + ")");
    CheckPrecondition(MayBuild(), ClassName() + ".BuildNew", "AttachMode=vdWriter");
    // A file still attached (a close was refused) stays open and locked, so creating it fails.
    fRootStorage = TvdStorage::CreateStorageFile(fileName, vdModeCreateReadWrite);
    fReadOnly = false;
    fDatabaseInfo->SaveToDatabase(*this);
    fStoredInfo->AssignInfo(*fDatabaseInfo);
}

TvdStorage *TvdStorageDatabase::GetRootStorage()
{
    if (!fRootStorage) {
        if (fFileName.empty())
            PreconditionViolated(ClassName() + ".GetRootStorage",
                                 "Must have been attached to a database before accessing the RootStorage property.");
        AttachTo(fFileName, MayBuild());
    }
    if (!fRootStorage)
        throw Exception(ClassName() + ".GetRootStorage: Couldn't open RootStorage");
    return fRootStorage.get();
}

void TvdStorageDatabase::EnsureAttached(bool buildNewIfNotFound)
{
    if (!IsAttached())
        AttachTo(fFileName, buildNewIfNotFound);
}

void TvdStorageDatabase::RebuildBecauseOfOldDatabaseVersion()
{
    CheckPrecondition(fDatabaseInfo->RebuildOnOldMajorVersion(), "TvdStorageDatabase.RebuildBecauseOfOldDatabaseVersion",
                      "DatabaseInfo.RebuildOnOldMajorVersion");
    if (fDatabaseInfo->RebuildAfterConfirmation &&
        !ConfirmOkCancel("The database (" + fDatabaseInfo->Name + ") you are attaching to is of an old version." +
                         CrLf + CrLf + "Please press 'ok' to recreate it from scratch." + CrLf +
                         "(No essential data will be lost, it will be completely rebuildt.)"))
        SilentAbort();
    Close();
    BuildNew(fFileName);
    AfterAttach(true);
}

void TvdStorageDatabase::Close()
{
    if (!fRootStorage)
        return;
    bool allow = true;
    CanClose(allow);
    if (allow) {
        fRootStorage.reset();
        AfterClose();
    }
}

#pragma once
// Stored objects that read and write themselves, one stream per object, and the versioned
// database file with lazy re-attach and the mapping of long element names.

#include "browser/store/L1StructuredStorage.h"

#include <memory>
#include <string>

// The root of all stored objects. Concrete classes are constructible without arguments; readers
// construct them through a class reference (TvdPersistentObjectClass, ClassRef<T>()).
class IvdPersistentObject : public TObject {
public:
    // The text under which the object is filed in a string list.
    virtual std::string GetKey() const = 0;
    virtual void ReadFromStream(TvdStream &stream) = 0;
    virtual void WriteToStream(TvdStream &stream) const = 0;
};

class TvdPersistentObject : public IvdPersistentObject {
public:
    std::string GetKey() const override { return {}; }
    void ReadFromStream(TvdStream &) override {}
    void WriteToStream(TvdStream &) const override {}

    // Creates (replaces) the stream, writes the object into it and closes it.
    void SaveToOwnStream(TvdStorage &storage, const std::string &streamName) const;
};

class TvdNamedPersistentObject : public TvdPersistentObject {
public:
    TvdNamedPersistentObject() = default;
    explicit TvdNamedPersistentObject(std::string name) : Name(std::move(name)) {}

    std::string GetKey() const override { return Name; }
    void ReadFromStream(TvdStream &stream) override;
    void WriteToStream(TvdStream &stream) const override;

    std::string Name;
};

class TvdStorageDatabase;

// The version record of a database file ("_sys__DatabaseInfo").
class TvdDatabaseInfo : public TvdNamedPersistentObject {
public:
    TvdDatabaseInfo() : TvdNamedPersistentObject("..Unspecified..") {}

    void ReadFromStream(TvdStream &stream) override;
    void WriteToStream(TvdStream &stream) const override;

    bool RebuildOnOldMajorVersion() const { return RebuildAfterConfirmation || RebuildSilently; }
    void AssignInfo(const TvdDatabaseInfo &other);
    void LoadFromDatabase(TvdStorageDatabase &database);
    void SaveToDatabase(TvdStorageDatabase &database) const;

    int32_t MajorVersion = 1;
    int32_t MinorVersion = 1;
    bool RebuildAfterConfirmation = false; // not stored
    bool RebuildSilently = false;          // not stored
};

extern const char *const vdDatabaseInfoStreamName; // "_sys__DatabaseInfo"
extern const char *const vdSubItemsListStreamName; // "_sys__SubItemsList"

// A new object of the given class read from the named stream; the caller owns it. The stream is
// opened read-write (0x0012), or read-only (0x0010) in a storage opened read-only.
std::unique_ptr<IvdPersistentObject> L1LoadObjectFromItsOwnStream(const TvdPersistentObjectClass &objectClass,
                                                                  TvdStorage *storage,
                                                                  const std::string &streamName);
template <class T>
std::unique_ptr<T> L1LoadObjectFromItsOwnStream(TvdStorage *storage, const std::string &streamName)
{
    auto object = L1LoadObjectFromItsOwnStream(ClassRef<T>(), storage, streamName);
    return std::unique_ptr<T>(static_cast<T *>(object.release()));
}

// Appends the long-form homogeneous list stored in the named stream to the list.
void L1LoadListFromItsOwnStream(TvdStorage *storage, const std::string &streamName, TStringList *list,
                                const TvdPersistentObjectClass &elementClass);
template <class T>
void L1LoadListFromItsOwnStream(TvdStorage *storage, const std::string &streamName, TStringList *list)
{
    L1LoadListFromItsOwnStream(storage, streamName, list, ClassRef<T>());
}

// One long logical name and the code that makes its element name unique.
class TvdStorage_SubItemName_MappingValue : public TvdNamedPersistentObject {
public:
    void ReadFromStream(TvdStream &stream) override;
    void WriteToStream(TvdStream &stream) const override;

    // The first (30 - length of Code) characters of Name, "~", Code: at most 31 characters.
    std::string StorageName() const;

    std::string Code;
};

// Maps logical names to element names for one storage, from its "_sys__SubItemsList".
class TvdStorage_SubItemNames_Server {
public:
    TvdStorage_SubItemNames_Server() : fList(true) {}

    void ReadListFrom(TvdStorage &storage);
    // A name under 32 characters is its own element name; a longer one is looked up (empty
    // when unknown). The list is read from the storage on the first call only.
    std::string GetStorageName(TvdStorage &storage, const std::string &logicalName);

    const TStringList &List() const { return fList; }
    bool Loaded() const { return fLoaded; }

private:
    TStringList fList;
    bool fLoaded = false;
};

// A database file: a compound file with a version record, attached lazily.
//
// Two modes say what the database may do to files:
//  - vdWriter (the default): files are opened read-write; attaching to a missing file builds it
//    when asked, and GetRootStorage re-attaches building a missing file.
//  - vdReader: the database never creates a file: attaching to a missing file fails whatever
//    the flag says, BuildNew and the rebuild of an old version refuse, and a file this process
//    may not write is attached read-only (its elements are then opened read-only, see
//    L1LoadObjectFromItsOwnStream). The operations are virtual and the mode lives here, so the
//    same holds through any reference to the database.
enum class TvdAttachMode { vdWriter, vdReader };

class TvdStorageDatabase : public TObject {
public:
    TvdStorageDatabase();
    ~TvdStorageDatabase() override;
    TvdStorageDatabase(const TvdStorageDatabase &) = delete;
    TvdStorageDatabase &operator=(const TvdStorageDatabase &) = delete;

    virtual void AttachTo(const std::string &fileName, bool buildNewIfNotFound);
    virtual void BuildNew(const std::string &fileName);
    // Attaches again when detached with a known file name.
    virtual TvdStorage *GetRootStorage();
    virtual void EnsureAttached(bool buildNewIfNotFound);
    bool IsAttached() const { return fRootStorage != nullptr; }

    TvdAttachMode AttachMode() const { return fAttachMode; }
    void SetAttachMode(TvdAttachMode mode) { fAttachMode = mode; }
    // The last attach found the file not writable and attached it read-only (readers only).
    bool IsReadOnly() const { return fReadOnly; }

    // Hooks.
    virtual void AfterAttach(bool isNew) {}
    virtual void CanClose(bool &allow) {}
    virtual void AfterClose() {}
    virtual void RebuildBecauseOfOldDatabaseVersion();
    virtual void Close();

    // The class name used in reports and trace lines.
    virtual std::string ClassName() const { return "TvdStorageDatabase"; }

    const std::string &FileName() const { return fFileName; }
    // The version this program expects and writes.
    TvdDatabaseInfo &DatabaseInfo() { return *fDatabaseInfo; }
    // The version found in the attached file.
    TvdDatabaseInfo &StoredInfo() { return *fStoredInfo; }

private:
    bool MayBuild() const { return fAttachMode == TvdAttachMode::vdWriter; }

    std::string fFileName;
    std::unique_ptr<TvdStorage> fRootStorage;
    std::unique_ptr<TvdDatabaseInfo> fDatabaseInfo;
    std::unique_ptr<TvdDatabaseInfo> fStoredInfo;
    TvdAttachMode fAttachMode = TvdAttachMode::vdWriter;
    bool fReadOnly = false;
};

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

// A new object of the given class read from the named stream; the caller owns it.
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
class TvdStorageDatabase : public TObject {
public:
    TvdStorageDatabase();
    ~TvdStorageDatabase() override;
    TvdStorageDatabase(const TvdStorageDatabase &) = delete;
    TvdStorageDatabase &operator=(const TvdStorageDatabase &) = delete;

    void AttachTo(const std::string &fileName, bool buildNewIfNotFound);
    void BuildNew(const std::string &fileName);
    // Attaches again when detached with a known file name.
    TvdStorage *GetRootStorage();
    bool IsAttached() const { return fRootStorage != nullptr; }
    void EnsureAttached(bool buildNewIfNotFound);

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
    std::string fFileName;
    std::unique_ptr<TvdStorage> fRootStorage;
    std::unique_ptr<TvdDatabaseInfo> fDatabaseInfo;
    std::unique_ptr<TvdDatabaseInfo> fStoredInfo;
};

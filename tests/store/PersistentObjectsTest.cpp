#include "StoreTestSupport.h"

#include "platform/compoundfile/CompoundFile.h"

using namespace storetest;

namespace {

// A database that records its hooks and can veto closing.
class TestDatabase : public TvdStorageDatabase {
public:
    std::vector<std::string> calls;
    bool allowClose = true;

    TestDatabase(int32_t major = 1, bool rebuildAfterConfirmation = false)
    {
        DatabaseInfo().Name = "Test database";
        DatabaseInfo().MajorVersion = major;
        DatabaseInfo().RebuildAfterConfirmation = rebuildAfterConfirmation;
    }
    void AfterAttach(bool isNew) override { calls.push_back(isNew ? "AfterAttach(new)" : "AfterAttach(old)"); }
    void CanClose(bool &allow) override { allow = allowClose; }
    void AfterClose() override { calls.push_back("AfterClose"); }
    std::string ClassName() const override { return "TTestDatabase"; }
};

// The names of the root's elements.
std::vector<std::string> Elements(const std::string &file)
{
    auto root = cfb::Storage::OpenFile(file, cfb::STGM_READ | cfb::STGM_SHARE_DENY_WRITE);
    std::vector<std::string> names;
    for (const auto &e : root->List())
        names.emplace_back(e.name.begin(), e.name.end());
    return names;
}

// A database file whose version record says the given major version.
void MakeDatabase(const std::string &file, int32_t major)
{
    auto root = TvdStorage::CreateStorageFile(file, vdModeCreateReadWrite);
    TvdDatabaseInfo info;
    info.MajorVersion = major;
    info.MinorVersion = 77;
    info.SaveToOwnStream(*root, "_sys__DatabaseInfo");
    root->CreateStream("payload", vdModeCreateReadWrite)->WriteByte(1);
}

} // namespace

TEST(PersistentObjects, DatabaseInfoHasItsDefaultsAndStreamLayout)
{
    TempDir dir;
    auto root = TvdStorage::CreateStorageFile(dir / "f", vdModeCreateReadWrite);
    TvdDatabaseInfo info;
    EXPECT_EQ(info.Name, "..Unspecified..");
    info.MajorVersion = 5;
    info.MinorVersion = -1;
    info.RebuildSilently = true;
    info.SaveToOwnStream(*root, "_sys__DatabaseInfo");
    auto s = root->OpenStream("_sys__DatabaseInfo", vdModeReadWrite);
    std::string bytes(s->ComStream()->Size(), '\0');
    s->SafeRead(bytes.data(), int32_t(bytes.size()));
    EXPECT_EQ(bytes, std::string("\x0f..Unspecified..\x05\0\0\0\xff\xff\xff\xff", 24));
    s.reset();
    auto loaded = L1LoadObjectFromItsOwnStream<TvdDatabaseInfo>(root.get(), "_sys__DatabaseInfo");
    EXPECT_EQ(loaded->MajorVersion, 5);
    EXPECT_FALSE(loaded->RebuildOnOldMajorVersion());
}

TEST(PersistentObjects, LoadingFreesTheObjectWhenReadingFails)
{
    TempDir dir;
    auto root = TvdStorage::CreateStorageFile(dir / "f", vdModeCreateReadWrite);
    root->CreateStream("short", vdModeCreateReadWrite)->WriteByte(9);
    EXPECT_EQ(MessageOf([&] { L1LoadObjectFromItsOwnStream<Counted>(root.get(), "short"); }),
              UnexpectedErrorText("TvdStream.SafeRead", "Should read 9 bytes, but 0 was read."));
    EXPECT_THROW(L1LoadObjectFromItsOwnStream<Counted>(root.get(), "missing"), EPlatformError);
    EXPECT_EQ(Counted::alive, 0);
    EXPECT_EQ(MessageOf([&] { L1LoadObjectFromItsOwnStream<Counted>(nullptr, "x"); }),
              Precondition("L1LoadObjectFromItsOwnStream", "(i_storage Is TvdStorage) and (i_storage<>nil)"));
    TStringList list(true);
    EXPECT_EQ(MessageOf([&] { L1LoadListFromItsOwnStream<Counted>(root.get(), "x", nullptr); }),
              Precondition("L1LoadObjectFromItsOwnStream",
                           "(i_storage Is TvdStorage) and (i_storage<>nil)  and (e_stringList<>nil)"));
}

TEST(Database, AttachingToAMissingFileBuildsItAfterAskingForTheDirectory)
{
    TempDir dir;
    ScriptedPrompts prompts;
    PromptsGuard guard(prompts);
    prompts.answers = {PromptAnswer::Yes};
    const std::string file = dir / "new/deeper/db.qmk";
    TestDatabase db(5);
    db.AttachTo(file, true);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(prompts.shown[0].text.find(dir / "new/deeper?"), std::string::npos);
    EXPECT_EQ(db.calls, std::vector<std::string>{"AfterAttach(new)"});
    EXPECT_EQ(db.StoredInfo().MajorVersion, 5);
    EXPECT_EQ(db.StoredInfo().Name, "Test database");
    db.Close();
    EXPECT_EQ(Elements(file), std::vector<std::string>{"_sys__DatabaseInfo"});
}

TEST(Database, AttachChecksTheStoredMajorVersion)
{
    TempDir dir;
    ScriptedPrompts prompts;
    PromptsGuard guard(prompts);
    for (int32_t stored : {6, 5}) {
        MakeDatabase(dir / "db.qmk", stored);
        TestDatabase db(5);
        db.AttachTo(dir / "db.qmk", false);
        EXPECT_EQ(db.calls, std::vector<std::string>{"AfterAttach(old)"});
        EXPECT_EQ(db.StoredInfo().MajorVersion, stored);
        EXPECT_EQ(db.StoredInfo().MinorVersion, 77);
    }
    MakeDatabase(dir / "db.qmk", 4);
    TestDatabase db(5);
    EXPECT_THROW(db.AttachTo(dir / "db.qmk", true), EAbort);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "This program tried to attach to an old version of database (Test database). "
                                     "Please rebuild this database with the appropriate tool/application before "
                                     "trying to attach to/open it again.");
    EXPECT_TRUE(db.IsAttached());
    EXPECT_TRUE(db.calls.empty());
}

TEST(Database, AttachRefusesPlainAndMissingFiles)
{
    TempDir dir;
    WriteBytes(dir / "plain.qmk", "precious");
    TestDatabase db;
    EXPECT_EQ(MessageOf<E_VDPersistentObjects>([&] { db.AttachTo(dir / "plain.qmk", true); }),
              "The Persistent Objects System should attach to the Structured Storage file: " + dir / "plain.qmk" +
                  ", " + CrLf +
                  "but this file was not a storage file, but exists as a \"normal\" file. In case this is a valuable "
                  "file, move it, else just delete it.");
    EXPECT_EQ(ReadBytes(dir / "plain.qmk"), "precious");
    EXPECT_EQ(MessageOf<E_VDPersistentObjects>([&] { db.AttachTo(dir / "missing.qmk", false); }),
              "The Persistent Objects System couldn't attach to the Structured Storage Database file: " +
                  dir / "missing.qmk");
    EXPECT_FALSE(fs::exists(dir / "missing.qmk"));
    EXPECT_EQ(db.FileName(), dir / "missing.qmk");

    // A compound file without a version record.
    TvdStorage::CreateStorageFile(dir / "bare.qmk", vdModeCreateReadWrite);
    EXPECT_EQ(MessageOf([&] { db.AttachTo(dir / "bare.qmk", true); }),
              "Couldn't load database/version info for this structured storage file." + CrLf +
                  "Depending upon which type of database this is, you may want to delete and regenerate it." + CrLf +
                  CrLf + "_sys__DatabaseInfo could not be found.");
}

TEST(Database, RootStorageIsReattachedAfterClose)
{
    TempDir dir;
    TestDatabase db;
    EXPECT_EQ(MessageOf([&] { db.GetRootStorage(); }),
              PreconditionViolatedText("TTestDatabase.GetRootStorage",
                                       "Must have been attached to a database before accessing the RootStorage "
                                       "property."));
    db.AttachTo(dir / "db.qmk", true);
    db.GetRootStorage()->CreateStream("x", vdModeCreateReadWrite)->WriteByte(3);
    db.allowClose = false;
    db.Close();
    EXPECT_TRUE(db.IsAttached());
    db.allowClose = true;
    db.Close();
    EXPECT_FALSE(db.IsAttached());
    // The file is closed: another open succeeds.
    TvdStorage::OpenStorageFile(dir / "db.qmk", vdModeReadWrite);
    EXPECT_EQ(db.GetRootStorage()->OpenStream("x", vdModeReadWrite)->ReadByte(), 3);
    EXPECT_EQ(db.calls, (std::vector<std::string>{"AfterAttach(new)", "AfterClose", "AfterAttach(old)"}));
}

TEST(Database, AnOldVersionIsRebuiltAfterConfirmation)
{
    TempDir dir;
    ScriptedPrompts prompts;
    PromptsGuard guard(prompts);
    const std::string file = dir / "db.qmk";
    MakeDatabase(file, 2);
    {
        TestDatabase db(3, true);
        EXPECT_EQ(MessageOf([&] { db.AttachTo(file, false); }),
                  Precondition("TvdStorageDatabase: AttachTo;.", "i_buildNewIfNotFound=true"));
    }
    {
        TestDatabase db(3, true);
        prompts.answers = {PromptAnswer::Cancel};
        EXPECT_THROW(db.AttachTo(file, true), EAbort);
        EXPECT_EQ(prompts.shown.back().text,
                  "The database (Test database) you are attaching to is of an old version." + CrLf + CrLf +
                      "Please press 'ok' to recreate it from scratch." + CrLf +
                      "(No essential data will be lost, it will be completely rebuildt.)");
    }
    {
        // A refused close keeps the old file open: the rebuild fails and loses nothing.
        TestDatabase db(3, true);
        db.allowClose = false;
        prompts.answers = {PromptAnswer::Ok};
        try {
            db.AttachTo(file, true);
            FAIL();
        } catch (const EPlatformError &e) {
            EXPECT_EQ(e.ErrorCode(), cfb::STG_E_SHAREVIOLATION);
        }
        db.allowClose = true;
    }
    EXPECT_EQ(Elements(file).size(), 2u);
    TestDatabase db(3, true);
    prompts.answers = {PromptAnswer::Ok};
    db.AttachTo(file, true);
    EXPECT_EQ(db.calls, (std::vector<std::string>{"AfterClose", "AfterAttach(new)"}));
    EXPECT_EQ(db.StoredInfo().MajorVersion, 3);
    db.Close();
    EXPECT_EQ(Elements(file), std::vector<std::string>{"_sys__DatabaseInfo"});
}

TEST(SubItemNames, LongNamesMapThroughTheStoredList)
{
    TempDir dir;
    auto root = TvdStorage::CreateStorageFile(dir / "f", vdModeCreateReadWrite);
    const std::string forty = "TL1OPascalSymbolTable_SomethingLong_0040";
    TvdStorage_SubItemName_MappingValue value;
    value.Name = forty;
    value.Code = "7x";
    EXPECT_EQ(value.StorageName(), forty.substr(0, 28) + "~7x");

    TStringList list(true);
    for (const std::string &name : {std::string(32, 'a'), forty, std::string(35, 'z')}) {
        auto *v = new TvdStorage_SubItemName_MappingValue;
        v->Name = name;
        v->Code = name == forty ? "7x" : "1";
        list.Add(name, v);
    }
    root->CreateStream("_sys__SubItemsList", vdModeCreateReadWrite)->WriteHomogeneousStringList(&list);

    TvdStorage_SubItemNames_Server server;
    const std::string n31(31, 'q'), n32(32, 'q');
    EXPECT_EQ(server.GetStorageName(*root, n31), n31);
    EXPECT_EQ(server.GetStorageName(*root, forty), forty.substr(0, 28) + "~7x");
    EXPECT_EQ(server.GetStorageName(*root, "tl1opascalsymboltable_somethinglong_0040"), forty.substr(0, 28) + "~7x");
    EXPECT_EQ(server.GetStorageName(*root, n32), "");
    EXPECT_EQ(server.GetStorageName(*root, std::string(32, 'a')), std::string(29, 'a') + "~1");
    // The list is read once: later changes of the storage are not seen.
    root->CreateStream("_sys__SubItemsList", vdModeCreateReadWrite)->WriteInteger(0);
    EXPECT_EQ(server.GetStorageName(*root, forty), forty.substr(0, 28) + "~7x");

    TvdStorage_SubItemNames_Server fresh;
    auto empty = root->CreateSubStorage("empty", vdModeCreateReadWrite);
    EXPECT_EQ(fresh.GetStorageName(*empty, forty), "");
    EXPECT_TRUE(fresh.Loaded());
    EXPECT_EQ(fresh.List().Count(), 0);
}

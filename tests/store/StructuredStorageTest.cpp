#include "StoreTestSupport.h"

#include "platform/compoundfile/CompoundFile.h"

using namespace storetest;

namespace {

class Streams : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<TvdStorage> root = TvdStorage::CreateStorageFile(dir / "s.qmk", vdModeCreateReadWrite);

    std::unique_ptr<TvdStream> Fresh(const std::string &name = "s")
    {
        return root->CreateStream(name, vdModeCreateReadWrite);
    }
    // The stream's bytes, read through the engine.
    std::string Bytes(const std::string &name = "s")
    {
        auto s = root->OpenStream(name, vdModeReadWrite);
        std::string data(s->ComStream()->Size(), '\0');
        s->SafeRead(data.data(), static_cast<int32_t>(data.size()));
        return data;
    }
    std::unique_ptr<TvdStream> WithBytes(const std::string &bytes)
    {
        Fresh()->SafeWrite(bytes.data(), static_cast<int32_t>(bytes.size()));
        return root->OpenStream("s", vdModeReadWrite);
    }
};

const std::string LimitText(int32_t count)
{
    return "Due to safety precautions, the Persistent Objects System has an internal limit of 100000." + CrLf + CrLf +
           "No list or string may exceed this size. The size currently read was: " + std::to_string(count) + CrLf +
           CrLf + "This typically happens if you try to open a wrong version \"database\"," + CrLf +
           "else it is probably a bug. Contact the vendor of this library or program." + CrLf + CrLf +
           "If this is not a bug, but that the context really requires such a big size, contact Vardelin AS.";
}

std::string ShortRead(int asked, int got)
{
    return UnexpectedErrorText("TvdStream.SafeRead", "Should read " + std::to_string(asked) + " bytes, but " +
                                                         std::to_string(got) + " was read.");
}

std::string Le32(int32_t v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = char(uint32_t(v) >> (8 * i));
    return s;
}

} // namespace

TEST_F(Streams, PrimitivesHaveTheirLittleEndianEncodings)
{
    {
        auto s = Fresh();
        s->WriteByte(0xAB);
        s->WriteBoolean(true);
        s->WriteBoolean(false);
        s->WriteWord(0x1234);
        s->WriteInteger(-2);
        s->WriteRect({1, -1, 256, 65536});
        s->WriteShortLongString("abc");
        s->WriteShortLongString("");
    }
    const std::string expected = std::string("\xAB\x01\x00\x34\x12", 5) + Le32(-2) + Le32(1) + Le32(-1) + Le32(256) +
                                 Le32(65536) + std::string("\x03" "abc\x00", 5);
    EXPECT_EQ(Bytes(), expected);
    auto s = root->OpenStream("s", vdModeReadWrite);
    EXPECT_EQ(s->ReadByte(), 0xAB);
    EXPECT_TRUE(s->ReadBoolean());
    EXPECT_FALSE(s->ReadBoolean());
    EXPECT_EQ(s->ReadWord(), 0x1234);
    EXPECT_EQ(s->ReadInteger(), -2);
    EXPECT_EQ(s->ReadRect(), (TRect{1, -1, 256, 65536}));
    EXPECT_EQ(s->ReadShortLongString(), "abc");
    EXPECT_EQ(s->ReadShortLongString(), "");
    s.reset();
    // Any non-zero byte reads as true.
    EXPECT_TRUE(WithBytes("\x07")->ReadBoolean());
}

TEST_F(Streams, ShortLongStringsHoldAtMost254Characters)
{
    const std::string s254(254, 'x');
    Fresh()->WriteShortLongString(s254);
    EXPECT_EQ(root->OpenStream("s", vdModeReadWrite)->ReadShortLongString(), s254);
    auto s = Fresh();
    EXPECT_EQ(MessageOf([&] { s->WriteShortLongString(std::string(255, 'x')); }),
              Precondition("TvdStream.WriteShortLongString", "  Length(i_str) < 255"));
    s.reset();
    EXPECT_EQ(Bytes(), "");
}

TEST_F(Streams, ReadingPastTheEndReportsTheBytesActuallyRead)
{
    EXPECT_EQ(MessageOf([&] { WithBytes("ab")->ReadInteger(); }), ShortRead(4, 2));
    EXPECT_EQ(MessageOf([&] { WithBytes("\x05" "abc")->ReadShortLongString(); }), ShortRead(5, 3));
}

TEST_F(Streams, ListCountsAreLimitedBeforeAnythingIsRead)
{
    int constructed = 0;
    TvdPersistentObjectClass counting = [&] {
        ++constructed;
        return static_cast<IvdPersistentObject *>(new TvdNamedPersistentObject);
    };
    TStringList list(true);
    EXPECT_EQ(MessageOf<E_VDPersistentObjects>([&] { WithBytes(Le32(100001))->ReadHomogeneousStringList(&list, counting); }),
              LimitText(100001));
    EXPECT_EQ(MessageOf<E_VDPersistentObjects>([&] { WithBytes(Le32(100001))->ReadNonObjectShortStrings(&list); }),
              LimitText(100001));
    EXPECT_EQ(constructed, 0);
    // 100000 passes the check; the first element then finds the stream's end.
    EXPECT_EQ(MessageOf([&] { WithBytes(Le32(100000))->ReadHomogeneousStringList(&list, counting); }), ShortRead(1, 0));
    EXPECT_EQ(MessageOf([&] { WithBytes(Le32(100000))->ReadNonObjectShortStrings(&list); }), ShortRead(1, 0));
    EXPECT_EQ(constructed, 1);
    EXPECT_EQ(list.Count(), 0);
    // A negative count reads as an empty list.
    WithBytes(Le32(-5))->ReadHomogeneousStringList(&list, counting);
    WithBytes(Le32(-1))->ReadNonObjectShortStrings(&list);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(MessageOf([&] { WithBytes(Le32(1))->ReadNonObjectShortStrings(nullptr); }),
              Precondition("TvdStream.ReadNonObjectShortStrings", "e_stringList<>nil"));
    EXPECT_EQ(MessageOf([&] { WithBytes(Le32(1))->ReadHomogeneousStringList(nullptr, counting); }),
              Precondition("TvdStream.ReadHomogeneousStringList", "i_stringList<>nil"));
}

// A record holding a list of records like itself, as a tree node holds its sub-nodes. While a
// record reads, it sees the room reserved by every list still being read around it.
struct Nested : TvdPersistentObject {
    static inline std::vector<const TStringList *> reading;
    static inline size_t mostReserved = 0;
    TStringList children{true};

    void ReadFromStream(TvdStream &stream) override
    {
        size_t reserved = 0;
        for (const TStringList *list : reading)
            reserved += size_t(list->Capacity());
        mostReserved = std::max(mostReserved, reserved);
        reading.push_back(&children);
        try {
            stream.ReadHomogeneousStringList<Nested>(&children);
        } catch (...) {
            reading.pop_back();
            throw;
        }
        reading.pop_back();
    }
};

TEST_F(Streams, ListsReserveNoMoreThanTheBytesLeftCanHold)
{
    // 200 nested records of 4 bytes each, every one claiming 100000 entries, cut off inside the
    // innermost: reserving each claimed count would take 20 million entries for 800 bytes.
    std::string bytes;
    for (int level = 0; level < 200; ++level)
        bytes += Le32(100000);
    Nested::mostReserved = 0;
    TStringList top(true);
    EXPECT_EQ(MessageOf([&] { WithBytes(bytes)->ReadHomogeneousStringList<Nested>(&top); }), ShortRead(4, 0));
    EXPECT_LE(Nested::mostReserved, bytes.size());

    // A string list claiming more strings than bytes follow reserves for the bytes only.
    TStringList strings;
    EXPECT_EQ(MessageOf([&] { WithBytes(Le32(100000) + "\x01" "a" "\x01" "b")->ReadNonObjectShortStrings(&strings); }),
              ShortRead(1, 0));
    EXPECT_EQ(strings.Count(), 2);
    EXPECT_LE(strings.Capacity(), 4);
}

TEST_F(Streams, ListsRoundTripAndReadersAppend)
{
    TStringList names;
    names.Add("one");
    names.Add("two");
    TStringList objects(true);
    for (const char *n : {"b", "a", "c"})
        objects.Add("ignored", new TvdNamedPersistentObject(n));
    {
        auto s = Fresh();
        s->WriteNonObjectShortStrings(&names);
        s->WriteNonObjectShortStrings(nullptr);
        s->WriteHomogeneousStringList(&objects);
        s->WriteSmallHomogeneousStringList(&objects);
        s->WriteSmallHomogeneousStringList(nullptr);
    }
    const std::string record = std::string("\x01" "b" "\x01" "a" "\x01" "c");
    EXPECT_EQ(Bytes(), Le32(2) + "\x03one\x03two" + Le32(0) + Le32(3) + record + std::string("\x03\x00", 2) + record +
                           std::string(2, '\0'));

    auto s = root->OpenStream("s", vdModeReadWrite);
    TStringList strings;
    strings.Add("kept");
    s->ReadNonObjectShortStrings(&strings);
    s->ReadNonObjectShortStrings(&strings);
    ASSERT_EQ(strings.Count(), 3);
    EXPECT_EQ(strings.Strings(2), "two");
    TStringList read(true);
    read.Add("kept", new TvdNamedPersistentObject("kept"));
    s->ReadHomogeneousStringList<TvdNamedPersistentObject>(&read);
    s->ReadSmallHomogeneousStringList<TvdNamedPersistentObject>(&read);
    s->ReadSmallHomogeneousStringList<TvdNamedPersistentObject>(&read);
    ASSERT_EQ(read.Count(), 7);
    // Entries are filed under the objects' keys, in stream order.
    EXPECT_EQ(read.Strings(1), "b");
    EXPECT_EQ(read.Strings(6), "c");
    EXPECT_EQ(static_cast<TvdNamedPersistentObject *>(read.Objects(5))->Name, "a");
}

TEST_F(Streams, WritingAListStopsAtAnEntryThatIsNoPersistentObject)
{
    TObject plain;
    TvdNamedPersistentObject first("first");
    TStringList list;
    list.Add("1", &first);
    list.Add("2", &plain);
    auto s = Fresh();
    EXPECT_EQ(MessageOf([&] { s->WriteHomogeneousStringList(&list); }),
              Precondition("TvdStream.WriteHomogeneousStringList", "Objects[i] is TvdPersistentObject"));
    s.reset();
    EXPECT_EQ(Bytes(), Le32(2) + "\x05" "first");
}

TEST_F(Streams, ProbesFindElementsEvenWhenTheyAreOpen)
{
    Fresh("stream");
    root->CreateSubStorage("storage", vdModeCreateReadWrite);
    EXPECT_TRUE(root->StreamExists("stream"));
    EXPECT_TRUE(root->SubStorageExists("storage"));
    EXPECT_FALSE(root->StreamExists("storage"));
    EXPECT_FALSE(root->SubStorageExists("missing"));
    auto held = root->OpenStream("stream", vdModeReadWrite);
    auto heldStorage = root->OpenSubStorage("storage", vdModeReadWrite);
    EXPECT_TRUE(root->StreamExists("stream"));
    EXPECT_TRUE(root->SubStorageExists("storage"));
    // Other failures are raised.
    try {
        root->StreamExists(std::string(40, 'n'));
        FAIL();
    } catch (const EPlatformError &e) {
        EXPECT_EQ(e.ErrorCode(), cfb::STG_E_INVALIDNAME);
    }
}

TEST_F(Streams, OpenOrCreateSubStorageCreatesOnFirstUse)
{
    root->OpenOrCreateSubStorage("sub", vdModeReadWrite, true)->CreateStream("x", vdModeCreateReadWrite)->WriteByte(7);
    auto again = root->OpenOrCreateSubStorage("sub", vdModeReadWrite, true);
    EXPECT_EQ(again->OpenStream("x", vdModeReadWrite)->ReadByte(), 7);
    again.reset();
    EXPECT_THROW(root->OpenOrCreateSubStorage("other", vdModeReadWrite, false), EPlatformError);
}

TEST_F(Streams, AFailedOpenLeavesNothingOpen)
{
    try {
        root->OpenStream("missing", vdModeReadWrite);
        FAIL();
    } catch (const EPlatformError &e) {
        EXPECT_EQ(e.ErrorCode(), cfb::STG_E_FILENOTFOUND);
        EXPECT_EQ(e.Message(), "missing could not be found.");
    }
    EXPECT_THROW(root->OpenSubStorage("missing", vdModeReadWrite), EPlatformError);
    EXPECT_THROW(TvdStorage::OpenStorageFile(dir / "none.qmk", vdModeReadWrite), EPlatformError);
    Fresh("missing")->WriteByte(1);
    EXPECT_EQ(root->OpenStream("missing", vdModeReadWrite)->ReadByte(), 1);
    root.reset();
    EXPECT_NO_THROW(TvdStorage::OpenStorageFile(dir / "s.qmk", vdModeReadWrite));
}

TEST(StorageFiles, IsStorageFileIsFalseForMissingAndPlainFiles)
{
    TempDir dir;
    WriteBytes(dir / "plain.txt", "text");
    TvdStorage::CreateStorageFile(dir / "real.qmk", vdModeCreateReadWrite);
    EXPECT_FALSE(L1IsStorageFile(dir / "missing"));
    EXPECT_FALSE(L1IsStorageFile(dir / "plain.txt"));
    EXPECT_FALSE(L1IsStorageFile(dir / ""));
    EXPECT_TRUE(L1IsStorageFile(dir / "real.qmk"));
}

TEST(StorageFiles, MissingDirectoriesAreCreatedAfterOneQuestion)
{
    TempDir dir;
    ScriptedPrompts prompts;
    PromptsGuard guard(prompts);
    const std::string deep = dir / "a/b/c";

    prompts.answers = {PromptAnswer::No};
    EXPECT_THROW(L1CreateDirectoryIfNotExists(deep + "/", true, "Why."), EAbort);
    EXPECT_FALSE(fs::exists(dir / "a"));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Shown::YesNoCancel);
    EXPECT_EQ(prompts.shown[0].text, "Do you want to create the directory:" + CrLf + deep + "?" + CrLf + CrLf + "Why.");

    prompts.shown.clear();
    prompts.answers = {PromptAnswer::Yes};
    auto file = TvdStorage::CreateStorageFile(deep + "/f.qmk", vdModeCreateReadWrite);
    EXPECT_TRUE(fs::is_directory(deep));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Do you want to create the directory:" + CrLf + deep + "?" + CrLf + CrLf +
                                         "This directory is needed to hold the Structured Storage File.");
    // Existing directories need no question; without asking nothing is shown.
    L1CreateDirectoryIfNotExists(deep, true, "");
    L1CreateDirectoryIfNotExists(dir / "x/y", false, "");
    EXPECT_TRUE(fs::is_directory(dir / "x/y"));
    EXPECT_EQ(prompts.shown.size(), 1u);

    WriteBytes(dir / "afile", "");
    EXPECT_EQ(MessageOf([&] { L1CreateDirectoryIfNotExists(dir / "afile", false, ""); }),
              UnexpectedErrorText("L1CreateDirectoryIfNotExists", "Couldn't create directory: " + dir / "afile" + "." +
                                                                      CrLf + CrLf + "GetLastError returned: 00000011."));
}

TEST(UniqueStrings, OneGeneratorForTheWholeRun)
{
    const TL1UniqueStringGenerator &generator = UniqueStringGenerator();
    EXPECT_EQ(&generator, &UniqueStringGenerator());
    EXPECT_FALSE(generator.Prefix().empty());
    EXPECT_EQ(generator.Prefix().find_first_not_of("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);
    EXPECT_EQ(generator.Separator(), '_');
}

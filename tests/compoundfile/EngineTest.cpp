#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace cfbtest;
using cfb::Storage;

namespace {

constexpr uint32_t RW = cfb::STGM_READWRITE | cfb::STGM_SHARE_EXCLUSIVE;
constexpr uint32_t RO = cfb::STGM_READ | cfb::STGM_SHARE_EXCLUSIVE;
constexpr uint32_t Create = RW | cfb::STGM_CREATE;

template <class F>
cfb::HRESULT StatusOf(F f)
{
    try {
        f();
    } catch (const EPlatformError &e) {
        return e.ErrorCode();
    }
    return cfb::S_OK;
}

class Engine : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir / "test.cfb";
};

} // namespace

TEST_F(Engine, StreamsOfEverySizeRoundTripWrittenWholeOrInPieces)
{
    const size_t sizes[] = {0, 1, 63, 64, 65, 4095, 4096, 4097, 100000};
    {
        auto root = Storage::CreateFile(path, Create);
        for (size_t i = 0; i < std::size(sizes); ++i) {
            size_t size = sizes[i];
            WriteStream(*root, u"whole" + std::u16string(1, char16_t('A' + i)), Pattern(size, 1));
            // Pieces of 1000 bytes grow the stream across the mini stream cutoff.
            auto s = root->CreateStream(u"piece" + std::u16string(1, char16_t('A' + i)), Create);
            std::string data = Pattern(size, 2);
            for (size_t at = 0; at < size; at += 1000)
                s->Write(data.data() + at, std::min<size_t>(1000, size - at));
        }
    }
    auto root = Storage::OpenFile(path, RO);
    for (size_t i = 0; i < std::size(sizes); ++i) {
        EXPECT_EQ(ReadStream(*root, u"whole" + std::u16string(1, char16_t('A' + i))), Pattern(sizes[i], 1)) << sizes[i];
        EXPECT_EQ(ReadStream(*root, u"piece" + std::u16string(1, char16_t('A' + i))), Pattern(sizes[i], 2)) << sizes[i];
    }
}

TEST_F(Engine, WritesAtAnyPositionAndResizesAcrossTheCutoff)
{
    auto root = Storage::CreateFile(path, Create);
    auto s = root->CreateStream(u"s", Create);
    std::string expected = Pattern(100, 3);
    s->Write(expected.data(), expected.size());
    // A write past the end leaves zeros in the gap.
    s->Seek(5000);
    s->Write("xyz", 3);
    expected += std::string(4900, '\0') + "xyz";
    s->Seek(50);
    s->Write("MID", 3);
    expected.replace(50, 3, "MID");
    s->Seek(0);
    std::string back(expected.size(), '\0');
    ASSERT_EQ(s->Read(back.data(), back.size() + 10), expected.size());
    EXPECT_EQ(back, expected);

    for (uint64_t size : {4096u, 4095u, 10u, 6000u, 0u, 3000u}) {
        s->SetSize(size);
        expected.resize(size, '\0');
        s.reset();
        EXPECT_EQ(ReadStream(*root, u"s"), expected) << size;
        s = root->OpenStream(u"s", RW);
    }
}

TEST_F(Engine, ReplacingStreamsFreesTheirSectors)
{
    auto root = Storage::CreateFile(path, Create);
    for (int round = 0; round < 5; ++round) {
        WriteStream(*root, u"big", Pattern(200000, round));
        WriteStream(*root, u"small", Pattern(3000, round));
    }
    auto size = std::filesystem::file_size(path);
    for (int round = 0; round < 20; ++round) {
        WriteStream(*root, u"big", Pattern(200000, round));
        WriteStream(*root, u"small", Pattern(3000, round));
        root->CreateStorage(u"sub", Create);
        WriteStream(*root->OpenStorage(u"sub", RW), u"x", Pattern(9000, round));
        root->DestroyElement(u"sub");
    }
    EXPECT_LE(std::filesystem::file_size(path), size + 20 * 512);
    EXPECT_EQ(ReadStream(*root, u"big"), Pattern(200000, 19));
}

TEST_F(Engine, FilesBeyondTheHeaderFatListAndVersion4RoundTrip)
{
    const std::string big = Pattern(9 << 20, 4);
    for (int version : {3, 4}) {
        {
            auto root = Storage::CreateFile(path, Create, version);
            WriteStream(*root, u"big", big);
            WriteStream(*root, u"small", "tiny");
        }
        auto root = Storage::OpenFile(path, RW);
        EXPECT_EQ(ReadStream(*root, u"big"), big) << version;
        WriteStream(*root, u"more", Pattern(5000, 5));
        root.reset();
        root = Storage::OpenFile(path, RO);
        EXPECT_EQ(ReadStream(*root, u"small"), "tiny");
        EXPECT_EQ(ReadStream(*root, u"more"), Pattern(5000, 5));
    }
}

TEST_F(Engine, DirectoryTreesStayValidRedBlackTreesInNameOrder)
{
    std::vector<std::u16string> names;
    for (int i = 0; i < 300; ++i) {
        std::u16string n;
        for (int k = i; k > 0 || n.empty(); k /= 7)
            n += char16_t(u"aBcDeFg"[k % 7]);
        names.push_back(n + u"x" + std::u16string(size_t(i % 5), u'é'));
    }
    std::shuffle(names.begin(), names.end(), std::mt19937(7));
    {
        auto root = Storage::CreateFile(path, Create);
        auto sub = root->CreateStorage(u"sub", Create);
        for (const auto &n : names) {
            root->CreateStream(n, Create);
            sub->CreateStorage(n, Create);
        }
        for (size_t i = 0; i < names.size(); i += 3)
            sub->DestroyElement(names[i]);
    }
    EXPECT_EQ(RawFile(ReadBytes(path)).CheckTrees(), std::vector<std::string>());
    auto root = Storage::OpenFile(path, RO);
    auto list = root->List();
    ASSERT_EQ(list.size(), names.size() + 1);
    EXPECT_TRUE(std::is_sorted(list.begin(), list.end(), [](auto &a, auto &b) {
        return cfb::CompareNames(a.name, b.name) < 0;
    }));
    EXPECT_EQ(root->OpenStorage(u"sub", RO)->List().size(), names.size() - (names.size() + 2) / 3);
}

TEST(Names, CompareByLengthFirstThenUpperCase)
{
    struct {
        std::u16string a, b;
        int sign;
    } cases[] = {
        {u"b", u"aa", -1}, {u"abc", u"ABC", 0}, {u"a", u"B", -1}, {u"Z", u"a", 1},
        {u"\u00e9t\u00e9", u"\u00c9T\u00c9", 0}, {u"_", u"a", 1}, {u"\u00ff", u"\u0178", 0},
    };
    for (const auto &c : cases) {
        int r = cfb::CompareNames(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << text::Utf16ToUtf8(c.a) << " " << text::Utf16ToUtf8(c.b);
    }
}

TEST_F(Engine, InvalidNamesAndFlagsAreRefused)
{
    auto root = Storage::CreateFile(path, Create);
    for (std::u16string name : {std::u16string(32, u'n'), std::u16string(u"a/b"), std::u16string(u"a\\b"),
                                std::u16string(u"a:b"), std::u16string(u"a!b"), std::u16string()}) {
        EXPECT_EQ(StatusOf([&] { root->CreateStream(name, Create); }), cfb::STG_E_INVALIDNAME) << text::Utf16ToUtf8(name);
        EXPECT_EQ(StatusOf([&] { root->OpenStorage(name, RW); }), cfb::STG_E_INVALIDNAME) << text::Utf16ToUtf8(name);
    }
    EXPECT_NO_THROW(root->CreateStream(std::u16string(31, u'n'), Create));
    EXPECT_EQ(StatusOf([&] { root->CreateStream(u"t", cfb::STGM_READWRITE); }), cfb::STG_E_INVALIDFLAG);
    EXPECT_EQ(StatusOf([&] { root->CreateStream(u"t", RW | 0x10000); }), cfb::STG_E_INVALIDFLAG);
}

TEST_F(Engine, ExistingElementsAreReplacedOnlyWithTheCreateFlag)
{
    auto root = Storage::CreateFile(path, Create);
    WriteStream(*root, u"s", "data");
    EXPECT_EQ(StatusOf([&] { root->CreateStream(u"s", RW); }), cfb::STG_E_FILEALREADYEXISTS);
    EXPECT_EQ(StatusOf([&] { root->OpenStorage(u"s", RW); }), cfb::STG_E_FILENOTFOUND);
    // A storage replaces a stream of that name, and the other way round.
    root->CreateStorage(u"s", Create)->CreateStream(u"inner", Create);
    EXPECT_EQ(root->List().at(0).type, cfb::ElementType::Storage);
    WriteStream(*root, u"s", "again");
    EXPECT_EQ(ReadStream(*root, u"s"), "again");
    EXPECT_EQ(StatusOf([&] { Storage::CreateFile(path, RW); }), cfb::STG_E_FILEALREADYEXISTS);
}

TEST_F(Engine, OpenElementsAndFilesAreExclusive)
{
    auto root = Storage::CreateFile(path, Create);
    auto s = root->CreateStream(u"s", Create);
    auto sub = root->CreateStorage(u"sub", Create);
    auto inner = sub->CreateStream(u"inner", Create);
    EXPECT_EQ(StatusOf([&] { root->OpenStream(u"s", RO); }), cfb::STG_E_ACCESSDENIED);
    EXPECT_EQ(StatusOf([&] { root->OpenStorage(u"sub", RO); }), cfb::STG_E_ACCESSDENIED);
    EXPECT_EQ(StatusOf([&] { root->CreateStream(u"s", Create); }), cfb::STG_E_ACCESSDENIED);
    sub.reset();
    // A storage with an open element inside cannot be replaced or destroyed.
    EXPECT_EQ(StatusOf([&] { root->DestroyElement(u"sub"); }), cfb::STG_E_ACCESSDENIED);
    inner.reset();
    EXPECT_NO_THROW(root->DestroyElement(u"sub"));
    s.reset();
    EXPECT_NO_THROW(root->OpenStream(u"s", RO));

    EXPECT_EQ(StatusOf([&] { Storage::OpenFile(path, RW); }), cfb::STG_E_SHAREVIOLATION);
    EXPECT_EQ(StatusOf([&] { Storage::OpenFile(path, RO); }), cfb::STG_E_SHAREVIOLATION);
    EXPECT_EQ(StatusOf([&] { Storage::CreateFile(path, Create); }), cfb::STG_E_SHAREVIOLATION);
    root.reset();
    // Read-only opens share the file and keep writers out.
    auto reader1 = Storage::OpenFile(path, RO);
    auto reader2 = Storage::OpenFile(path, RO);
    EXPECT_EQ(StatusOf([&] { Storage::OpenFile(path, RW); }), cfb::STG_E_SHAREVIOLATION);
    EXPECT_EQ(StatusOf([&] { reader1->CreateStream(u"x", Create); }), cfb::STG_E_ACCESSDENIED);
    EXPECT_EQ(StatusOf([&] { reader1->OpenStream(u"s", RW); }), cfb::STG_E_ACCESSDENIED);
    reader1.reset();
    reader2.reset();

    ::chmod(path.c_str(), 0444);
    EXPECT_NO_THROW(Storage::OpenFile(path, RO));
    if (::geteuid() != 0) {
        EXPECT_EQ(StatusOf([&] { Storage::OpenFile(path, RW); }), cfb::STG_E_ACCESSDENIED);
    }
}

TEST_F(Engine, IsStorageFileAndOpenFailuresGiveWindowsStatuses)
{
    Storage::CreateFile(path, Create);
    WriteBytes(dir / "text.txt", "just text\n");
    WriteBytes(dir / "short", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    EXPECT_EQ(cfb::IsStorageFile(path), cfb::S_OK);
    EXPECT_EQ(cfb::IsStorageFile(dir / "text.txt"), cfb::S_FALSE);
    EXPECT_EQ(cfb::IsStorageFile(dir / "short"), cfb::S_FALSE);
    EXPECT_EQ(cfb::IsStorageFile(dir / "missing"), cfb::STG_E_FILENOTFOUND);
    // Neither a FIFO nor a directory blocks or passes.
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(cfb::IsStorageFile(dir / "fifo"), cfb::S_FALSE);
    EXPECT_EQ(StatusOf([&] { Storage::OpenFile(dir / "fifo", RO); }), cfb::STG_E_INVALIDHEADER);
    EXPECT_EQ(StatusOf([&] { Storage::OpenFile(dir.Path().string(), RO); }), cfb::STG_E_ACCESSDENIED);

    try {
        Storage::OpenFile(dir / "missing", RO);
        FAIL();
    } catch (const EPlatformError &e) {
        EXPECT_EQ(e.ErrorCode(), cfb::STG_E_FILENOTFOUND);
        EXPECT_EQ(e.Message(), dir / "missing" + " could not be found.");
    }
    EXPECT_EQ(StatusOf([&] { Storage::OpenFile(dir / "nodir/x.cfb", RO); }), cfb::STG_E_PATHNOTFOUND);
    EXPECT_EQ(StatusOf([&] { Storage::OpenFile(dir / "text.txt", RO); }), cfb::STG_E_INVALIDHEADER);
    EXPECT_EQ(cfb::StatusMessage(cfb::STG_E_ACCESSDENIED), "Access Denied.");
    EXPECT_EQ(cfb::StatusMessage(cfb::STG_E_DOCFILECORRUPT), "The docfile has been corrupted.");
}

namespace {

// A small file with a regular stream, a mini stream and a sub-storage.
std::string SampleFile(const std::string &path)
{
    {
        auto root = Storage::CreateFile(path, Create);
        WriteStream(*root, u"big", Pattern(5000, 1));
        WriteStream(*root, u"small", Pattern(300, 2));
        WriteStream(*root->CreateStorage(u"sub", Create), u"x", "x");
    }
    return ReadBytes(path);
}

// Opens the file and reads every stream.
void ReadEverything(const std::string &path)
{
    auto root = Storage::OpenFile(path, RO);
    Contents(*root);
}

} // namespace

TEST_F(Engine, CorruptFilesGiveStatusesNeverCrashes)
{
    const RawFile good(SampleFile(path));
    const uint32_t big = good.FindEntry(u"big"), small = good.FindEntry(u"small"), sub = good.FindEntry(u"sub");
    const uint32_t bigStart = good.U32(good.EntryOffset(big) + 116);
    const uint32_t smallStart = good.U32(good.EntryOffset(small) + 116);
    struct Case {
        const char *what;
        std::function<void(RawFile &)> patch;
        cfb::HRESULT status;
    } cases[] = {
        {"signature", [](RawFile &f) { f.bytes[3] = 'x'; }, cfb::STG_E_INVALIDHEADER},
        {"sector shift", [](RawFile &f) { f.bytes[30] = 10; }, cfb::STG_E_INVALIDHEADER},
        {"mini cutoff", [](RawFile &f) { f.SetU32(56, 512); }, cfb::STG_E_INVALIDHEADER},
        {"short file", [](RawFile &f) { f.bytes.resize(300); }, cfb::STG_E_INVALIDHEADER},
        {"FAT count", [](RawFile &f) { f.SetU32(44, 0xFFFFFF); }, cfb::STG_E_DOCFILECORRUPT},
        {"FAT location", [](RawFile &f) { f.SetU32(76, 0x7FFFFFF0); }, cfb::STG_E_DOCFILECORRUPT},
        {"DIFAT chain", [](RawFile &f) { f.SetU32(44, 200), f.SetU32(68, 12345); }, cfb::STG_E_DOCFILECORRUPT},
        {"directory start", [](RawFile &f) { f.SetU32(48, 5000); }, cfb::STG_E_DOCFILECORRUPT},
        {"root type", [](RawFile &f) { f.bytes[f.EntryOffset(0) + 66] = 1; }, cfb::STG_E_DOCFILECORRUPT},
        {"child link", [](RawFile &f) { f.SetU32(f.EntryOffset(0) + 76, 9999); }, cfb::STG_E_DOCFILECORRUPT},
        {"sibling cycle", [&](RawFile &f) { f.SetU32(f.EntryOffset(sub) + 68, 0); }, cfb::STG_E_DOCFILECORRUPT},
        {"self as child", [&](RawFile &f) { f.SetU32(f.EntryOffset(sub) + 76, sub); }, cfb::STG_E_DOCFILECORRUPT},
        {"free entry in tree", [&](RawFile &f) { f.bytes[f.EntryOffset(small) + 66] = 0; }, cfb::STG_E_DOCFILECORRUPT},
        {"name length", [&](RawFile &f) { f.bytes[f.EntryOffset(big) + 64] = char(200); }, cfb::STG_E_DOCFILECORRUPT},
        {"duplicate name", [&](RawFile &f) { f.bytes.replace(f.EntryOffset(small), 66, f.bytes, f.EntryOffset(big), 66); },
         cfb::STG_E_DOCFILECORRUPT},
        {"FAT cycle", [&](RawFile &f) { f.SetU32(f.FatEntryOffset(bigStart + 3), bigStart); }, cfb::STG_E_DOCFILECORRUPT},
        {"free sector in chain", [&](RawFile &f) { f.SetU32(f.FatEntryOffset(bigStart), 0xFFFFFFFF); },
         cfb::STG_E_DOCFILECORRUPT},
        {"size beyond chain", [&](RawFile &f) { f.SetU32(f.EntryOffset(big) + 120, 1 << 30); }, cfb::STG_E_DOCFILECORRUPT},
        {"mini FAT cycle", [&](RawFile &f) { f.SetU32(f.MiniFatEntryOffset(smallStart + 1), smallStart); },
         cfb::STG_E_DOCFILECORRUPT},
        {"mini sector outside", [&](RawFile &f) { f.SetU32(f.EntryOffset(small) + 116, 100000); },
         cfb::STG_E_DOCFILECORRUPT},
        {"truncated", [](RawFile &f) { f.bytes.resize(f.bytes.size() / 2); }, cfb::STG_E_DOCFILECORRUPT},
    };
    for (const Case &c : cases) {
        RawFile bad = good;
        c.patch(bad);
        WriteBytes(path, bad.bytes);
        EXPECT_EQ(StatusOf([&] { ReadEverything(path); }), c.status) << c.what;
    }
}

TEST_F(Engine, EveryWriteIsInTheFileWhenTheCallReturns)
{
    auto root = Storage::CreateFile(path, Create);
    auto s = root->CreateStream(u"s", Create);
    auto sub = root->CreateStorage(u"sub", Create);
    std::string written;
    for (size_t piece : {10u, 3000u, 2000u, 70000u}) {
        std::string data = Pattern(piece, unsigned(piece));
        s->Write(data.data(), data.size());
        written += data;
        // A copy of the file as it is now, read while the original is still open.
        WriteBytes(dir / "copy.cfb", ReadBytes(path));
        auto copy = Storage::OpenFile(dir / "copy.cfb", RO);
        EXPECT_EQ(ReadStream(*copy, u"s"), written);
        EXPECT_EQ(copy->List().size(), 2u);
    }
}

TEST_F(Engine, AnInterruptedWriteLeavesEarlierDataReadable)
{
    // The file size limit makes the write that would grow the file past it fail, as an
    // interruption would at that point.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const std::string first = Pattern(3000, 1), second = Pattern(20000, 2);
    for (rlim_t limit = 2048; limit < 40000; limit += 1536) {
        {
            auto root = Storage::CreateFile(path, Create);
            WriteStream(*root, u"first", first);
            WriteStream(*root, u"second", "");
        }
        rlimit small = saved;
        small.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &small);
        try {
            auto root = Storage::OpenFile(path, RW);
            WriteStream(*root, u"second", second);
            auto s = root->CreateStream(u"first", Create);
            s->Write(second.data(), second.size());
        } catch (const EPlatformError &) {
        }
        ::setrlimit(RLIMIT_FSIZE, &saved);
        auto root = Storage::OpenFile(path, RO);
        std::string a = ReadStream(*root, u"first"), b = ReadStream(*root, u"second");
        EXPECT_TRUE(a == first || a == second || a.empty()) << limit;
        EXPECT_TRUE(b == second || b.empty()) << limit;
    }
}

TEST_F(Engine, AFileInMemoryHoldsTheSameBytesAsOneOnDisk)
{
    auto memory = std::make_shared<cfb::MemoryFile>();
    auto build = [](Storage &root) {
        WriteStream(root, u"small", Pattern(100, 1));
        WriteStream(root, u"large", Pattern(70000, 2));
        auto sub = root.CreateStorage(u"sub", Create);
        WriteStream(*sub, u"inner", Pattern(5000, 3));
        root.DestroyElement(u"small");
    };
    build(*Storage::CreateFile(path, Create));
    build(*Storage::CreateInMemory(memory, Create));
    EXPECT_EQ(memory->Bytes(), ReadBytes(path));

    auto copy = Storage::OpenInMemory(memory, RO);
    EXPECT_EQ(ReadStream(*copy, u"large"), Pattern(70000, 2));
    EXPECT_EQ(StatusOf([&] { copy->CreateStream(u"x", Create); }), cfb::STG_E_ACCESSDENIED);
    EXPECT_EQ(StatusOf([&] { Storage::OpenInMemory(std::make_shared<cfb::MemoryFile>("not a compound file"), RO); }),
              cfb::STG_E_INVALIDHEADER);
}

TEST_F(Engine, AFullDiskStopsFurtherChangesAndKeepsWhatWasWritten)
{
    auto memory = std::make_shared<cfb::MemoryFile>();
    auto root = Storage::CreateInMemory(memory, Create);
    WriteStream(*root, u"first", Pattern(3000, 1));
    memory->SetCapacity(memory->Size() + 1000);
    EXPECT_EQ(StatusOf([&] { WriteStream(*root, u"second", Pattern(20000, 2)); }), cfb::STG_E_MEDIUMFULL);
    // The tables in memory may now differ from the file: nothing more is changed.
    EXPECT_EQ(StatusOf([&] { WriteStream(*root, u"third", "x"); }), cfb::STG_E_REVERTED);
    auto copy = Storage::OpenInMemory(std::make_shared<cfb::MemoryFile>(memory->Bytes()), RO);
    EXPECT_EQ(ReadStream(*copy, u"first"), Pattern(3000, 1));
}

// What the engine writes is read identically by other readers of the format, and what other
// writers (and office programs) wrote is read identically by the engine.

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

using namespace cfbtest;
using cfb::Storage;

namespace {

constexpr uint32_t RW = cfb::STGM_READWRITE | cfb::STGM_SHARE_EXCLUSIVE | cfb::STGM_CREATE;

struct Tree {
    std::map<std::string, std::string> streams; // path -> bytes
    std::set<std::string> storages;
};

std::string Quote(const std::string &s) { return "'" + s + "'"; }

Tree SampleTree()
{
    Tree t;
    const size_t sizes[] = {0, 1, 4095, 4096, 4097, 3 << 20};
    for (size_t i = 0; i < std::size(sizes); ++i)
        t.streams["size" + std::to_string(sizes[i])] = Pattern(sizes[i], unsigned(i));
    t.streams["difat"] = Pattern(8 << 20, 99);
    t.storages = {"a", "a/b", "a/b/c", "many", "empty storage"};
    t.streams["a/b/c/deep"] = Pattern(5000, 7);
    t.streams["a/b/mini"] = Pattern(100, 8);
    t.streams["a/top"] = "top";
    for (int i = 0; i < 150; ++i)
        t.streams["many/Item " + std::to_string(i * 7919 % 1000)] = Pattern(size_t(i * 61), unsigned(i));
    return t;
}

void WriteTree(const std::string &path, const Tree &t, int version)
{
    auto root = Storage::CreateFile(path, RW, version);
    for (const std::string &s : t.storages) {
        std::unique_ptr<Storage> parent;
        Storage *at = root.get();
        std::vector<std::unique_ptr<Storage>> chain;
        std::stringstream parts(s);
        std::string part;
        while (std::getline(parts, part, '/')) {
            std::u16string name(part.begin(), part.end());
            try {
                chain.push_back(at->OpenStorage(name, cfb::STGM_READWRITE | cfb::STGM_SHARE_EXCLUSIVE));
            } catch (const EPlatformError &) {
                chain.push_back(at->CreateStorage(name, RW));
            }
            at = chain.back().get();
        }
    }
    for (const auto &[path, data] : t.streams) {
        std::vector<std::unique_ptr<Storage>> chain;
        Storage *at = root.get();
        std::stringstream parts(path);
        std::string part, next;
        std::getline(parts, part, '/');
        while (std::getline(parts, next, '/')) {
            chain.push_back(at->OpenStorage(std::u16string(part.begin(), part.end()),
                                            cfb::STGM_READWRITE | cfb::STGM_SHARE_EXCLUSIVE));
            at = chain.back().get();
            part = next;
        }
        WriteStream(*at, std::u16string(part.begin(), part.end()), data);
    }
}

// The tree as the engine reads it.
Tree ReadTree(const std::string &path)
{
    auto root = Storage::OpenFile(path, cfb::STGM_READ | cfb::STGM_SHARE_DENY_WRITE);
    Tree t;
    for (const std::string &line : Listing(*root))
        if (line.ends_with("\tstorage"))
            t.storages.insert(line.substr(0, line.find('\t')));
    for (auto &[p, data] : Contents(*root))
        t.streams[p] = std::move(data);
    return t;
}

// gsf list: "d|f  [date]  size path" after the file name line; the root is "*root*".
// Storages without children show as empty files.
Tree GsfTree(const std::string &path)
{
    CommandResult list = Shell("gsf list " + Quote(path));
    EXPECT_EQ(list.status, 0);
    Tree t;
    std::stringstream lines(list.out);
    std::string line;
    std::getline(lines, line);
    std::vector<std::string> files;
    while (std::getline(lines, line)) {
        // Skip the kind, an optional date and time, and the size; the rest is the path.
        size_t pos = line.find_first_not_of(' ', 1);
        size_t end = line.find(' ', pos);
        if (line.substr(pos, end - pos).find('-') != std::string::npos) {
            for (int skip = 0; skip < 2; ++skip) {
                pos = line.find_first_not_of(' ', end);
                end = line.find(' ', pos);
            }
        }
        std::string p = line.substr(end + 1);
        if (p == "*root*")
            continue;
        if (line[0] == 'd')
            t.storages.insert(p);
        else
            files.push_back(p);
    }
    // One gsf cat of each stream; an empty storage reads as nothing.
    for (const std::string &f : files) {
        CommandResult cat = Shell("gsf cat " + Quote(path) + " " + Quote(f));
        t.streams[f] = cat.out;
    }
    return t;
}

void ExpectSameStreams(const Tree &expected, const Tree &actual, const std::string &who)
{
    std::set<std::string> want, got;
    for (auto &[p, d] : expected.streams)
        want.insert(p);
    for (auto &[p, d] : actual.streams)
        got.insert(p);
    EXPECT_EQ(got, want) << who;
    for (auto &[p, d] : expected.streams) {
        auto it = actual.streams.find(p);
        if (it != actual.streams.end()) {
            EXPECT_TRUE(it->second == d) << who << ": bytes of " << p << " differ (" << it->second.size() << " vs "
                                         << d.size() << ")";
        }
    }
}

class Interop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveCommand("gsf") || !HaveCommand("olecfinfo") || !HaveCommand("olecfexport") ||
            Shell("/usr/bin/python3 -c 'import olefile'").status != 0)
            GTEST_SKIP() << "gsf, olecf tools or olefile missing";
    }
    TempDir dir;
};

} // namespace

TEST_F(Interop, WhatTheEngineWritesOthersReadIdentically)
{
    const Tree tree = SampleTree();
    for (int version : {3, 4}) {
        const std::string file = dir / ("ours" + std::to_string(version) + ".cfb");
        WriteTree(file, tree, version);
        SCOPED_TRACE("version " + std::to_string(version));

        // gsf: listing and bytes (an empty storage lists as an empty file).
        Tree gsf = GsfTree(file);
        EXPECT_EQ(gsf.streams.count("empty storage"), 1u);
        gsf.streams.erase("empty storage");
        gsf.storages.insert("empty storage");
        EXPECT_EQ(gsf.storages, tree.storages);
        ExpectSameStreams(tree, gsf, "gsf");

        // olefile: storages, and each stream's size and bytes, written to files.
        const std::string script =
            "import olefile, sys, os\n"
            "o = olefile.OleFileIO(sys.argv[1], raise_defects=olefile.DEFECT_INCORRECT)\n"
            "out = sys.argv[2]\n"
            "with open(os.path.join(out, 'list'), 'w') as l:\n"
            "    for e in o.listdir(streams=True, storages=True):\n"
            "        p = '/'.join(e)\n"
            "        if o.get_type(e) == olefile.STGTY_STORAGE:\n"
            "            l.write('storage\\t' + p + '\\n')\n"
            "        else:\n"
            "            data = o.openstream(e).read()\n"
            "            assert len(data) == o.get_size(e)\n"
            "            l.write('stream\\t' + p + '\\n')\n"
            "            open(os.path.join(out, str(len(os.listdir(out)))), 'wb').write(data)\n";
        WriteBytes(dir / "read.py", script);
        std::string out = dir / ("olefile" + std::to_string(version));
        std::filesystem::create_directory(out);
        CommandResult py = Shell("/usr/bin/python3 " + Quote(dir / "read.py") + " " + Quote(file) + " " + Quote(out), true);
        ASSERT_EQ(py.status, 0) << py.out;
        Tree ole;
        std::stringstream lines(ReadBytes(out + "/list"));
        std::string line;
        for (int n = 1; std::getline(lines, line);) {
            std::string p = line.substr(line.find('\t') + 1);
            if (line.starts_with("storage"))
                ole.storages.insert(p);
            else
                ole.streams[p] = ReadBytes(out + "/" + std::to_string(n++));
        }
        EXPECT_EQ(ole.storages, tree.storages);
        ExpectSameStreams(tree, ole, "olefile");

        // olecfinfo lists the tree by indentation; olecfexport writes each stream's bytes.
        CommandResult info = Shell("olecfinfo " + Quote(file));
        ASSERT_EQ(info.status, 0);
        std::stringstream infoLines(info.out.substr(info.out.find("Root Entry")));
        std::getline(infoLines, line);
        std::vector<std::string> stack;
        std::set<std::string> listed;
        while (std::getline(infoLines, line) && line.starts_with("  ")) {
            size_t depth = line.find_first_not_of(' ') / 2;
            std::string name = line.substr(depth * 2, line.rfind(" (") - depth * 2);
            stack.resize(depth - 1);
            stack.push_back(name);
            std::string p;
            for (const std::string &s : stack)
                p += (p.empty() ? "" : "/") + s;
            listed.insert(p + " " + line.substr(line.rfind(" (") + 2));
        }
        std::set<std::string> want;
        for (const std::string &s : tree.storages)
            want.insert(s + " 0 bytes)");
        for (const auto &[p, d] : tree.streams)
            want.insert(p + " " + std::to_string(d.size()) + " bytes)");
        EXPECT_EQ(listed, want);
        std::string target = dir / ("olecf" + std::to_string(version));
        ASSERT_EQ(Shell("olecfexport -t " + Quote(target) + " " + Quote(file)).status, 0);
        for (const auto &[p, d] : tree.streams)
            EXPECT_TRUE(ReadBytes(target + ".export/" + p + "/StreamData.bin") == d) << "olecfexport: " << p;
    }
}

TEST_F(Interop, WhatOthersWroteTheEngineReadsIdentically)
{
    // A folder tree packed by gsf.
    Tree tree;
    const size_t sizes[] = {0, 1, 4095, 4096, 4097, 3 << 20, 8 << 20};
    std::filesystem::create_directories(dir.Path() / "src/a/b");
    for (size_t i = 0; i < std::size(sizes); ++i) {
        std::string name = (i % 3 == 0 ? "src/" : i % 3 == 1 ? "src/a/" : "src/a/b/") + ("f" + std::to_string(i));
        WriteBytes(dir / name, Pattern(sizes[i], unsigned(i)));
        tree.streams[name] = Pattern(sizes[i], unsigned(i));
    }
    tree.storages = {"src", "src/a", "src/a/b"};
    ASSERT_EQ(Shell("cd " + Quote(dir.Path().string()) + " && gsf createole packed.ole src").status, 0);
    Tree ours = ReadTree(dir / "packed.ole");
    EXPECT_EQ(ours.storages, tree.storages);
    ExpectSameStreams(tree, ours, "engine");

    // Files written by an office program: the same as gsf reads them.
    for (const char *name : {"Test97.xls", "Test95.xls", "FmtTest.xls"}) {
        std::string file = std::string(VD_SOURCE_DIR) + "/tests/compoundfile/data/" + name;
        Tree expected = GsfTree(file);
        Tree actual = ReadTree(file);
        EXPECT_EQ(actual.storages, expected.storages) << name;
        ExpectSameStreams(expected, actual, name);
    }
}

TEST_F(Interop, FilesOfOtherWritersChangedInPlaceStayReadable)
{
    // A large file packed by gsf and a file of an office program, each changed by the engine:
    // a stream replaced, one added in a nested storage, one grown past the FAT of the header.
    std::filesystem::create_directories(dir.Path() / "src/sub");
    WriteBytes(dir / "src/keep", Pattern(6 << 20, 1));
    WriteBytes(dir / "src/sub/replace", Pattern(3000, 2));
    ASSERT_EQ(Shell("cd " + Quote(dir.Path().string()) + " && gsf createole packed.ole src").status, 0);
    std::filesystem::copy_file(std::string(VD_SOURCE_DIR) + "/tests/compoundfile/data/Test97.xls", dir / "office.xls");

    for (const std::string &file : {dir / "packed.ole", dir / "office.xls"}) {
        Tree expected = GsfTree(file);
        {
            auto root = Storage::OpenFile(file, cfb::STGM_READWRITE | cfb::STGM_SHARE_EXCLUSIVE);
            WriteStream(*root, u"added at top", Pattern(100, 3));
            WriteStream(*root, u"grown", Pattern(3 << 20, 4));
            auto first = root->List().front();
            if (first.type == cfb::ElementType::Storage) {
                auto sub = root->OpenStorage(first.name, cfb::STGM_READWRITE | cfb::STGM_SHARE_EXCLUSIVE);
                WriteStream(*sub, u"nested new", Pattern(5000, 5));
                expected.streams[text::Utf16ToUtf8(first.name) + "/nested new"] = Pattern(5000, 5);
            }
        }
        expected.streams["added at top"] = Pattern(100, 3);
        expected.streams["grown"] = Pattern(3 << 20, 4);
        if (file.ends_with(".ole")) {
            auto root = Storage::OpenFile(file, cfb::STGM_READWRITE | cfb::STGM_SHARE_EXCLUSIVE);
            auto src = root->OpenStorage(u"src", cfb::STGM_READWRITE | cfb::STGM_SHARE_EXCLUSIVE);
            auto sub = src->OpenStorage(u"sub", cfb::STGM_READWRITE | cfb::STGM_SHARE_EXCLUSIVE);
            WriteStream(*sub, u"replace", "short now");
            expected.streams["src/sub/replace"] = "short now";
        }
        Tree actual = GsfTree(file);
        EXPECT_EQ(actual.storages, expected.storages) << file;
        ExpectSameStreams(expected, actual, "gsf after change: " + file);
        CommandResult py = Shell("/usr/bin/python3 -c \"import olefile; olefile.OleFileIO('" + file +
                                     "', raise_defects=olefile.DEFECT_INCORRECT)\"",
                                 true);
        EXPECT_EQ(py.status, 0) << py.out;
        EXPECT_EQ(RawFile(ReadBytes(file)).CheckTrees(), std::vector<std::string>()) << file;
    }
}

#include "TestSupport.h"

#include <array>
#include <cstdio>
#include <functional>

namespace cfbtest {

CommandResult Shell(const std::string &command, bool mergeStderr)
{
    std::string full = command;
    if (command.find("2>") == std::string::npos)
        full += mergeStderr ? " 2>&1" : " 2>/dev/null";
    FILE *p = ::popen(full.c_str(), "r");
    CommandResult result{-1, {}};
    if (!p)
        return result;
    std::array<char, 65536> buffer;
    while (size_t n = std::fread(buffer.data(), 1, buffer.size(), p))
        result.out.append(buffer.data(), n);
    int status = ::pclose(p);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool HaveCommand(const std::string &name) { return Shell("command -v " + name + " >/dev/null").status == 0; }

std::string ReadStream(cfb::Storage &storage, const std::u16string &name)
{
    auto stream = storage.OpenStream(name, cfb::STGM_READ | cfb::STGM_SHARE_EXCLUSIVE);
    std::string data;
    char buffer[65536];
    while (size_t n = stream->Read(buffer, sizeof buffer))
        data.append(buffer, n);
    return data;
}

void WriteStream(cfb::Storage &storage, const std::u16string &name, const std::string &data)
{
    auto stream = storage.CreateStream(name, 0x1012);
    stream->Write(data.data(), data.size());
}

namespace {
void Walk(cfb::Storage &storage, const std::string &prefix,
          const std::function<void(cfb::Storage &, const cfb::ElementInfo &, const std::string &)> &visit)
{
    for (const cfb::ElementInfo &e : storage.List()) {
        std::string path = prefix + text::Utf16ToUtf8(e.name);
        visit(storage, e, path);
        if (e.type == cfb::ElementType::Storage) {
            auto child = storage.OpenStorage(e.name, cfb::STGM_READ | cfb::STGM_SHARE_EXCLUSIVE);
            Walk(*child, path + "/", visit);
        }
    }
}
} // namespace

std::vector<std::string> Listing(cfb::Storage &storage)
{
    std::vector<std::string> lines;
    Walk(storage, "", [&](cfb::Storage &, const cfb::ElementInfo &e, const std::string &path) {
        lines.push_back(e.type == cfb::ElementType::Stream ? path + "\tstream\t" + std::to_string(e.size)
                                                            : path + "\tstorage");
    });
    return lines;
}

std::vector<std::pair<std::string, std::string>> Contents(cfb::Storage &storage)
{
    std::vector<std::pair<std::string, std::string>> all;
    Walk(storage, "", [&](cfb::Storage &parent, const cfb::ElementInfo &e, const std::string &path) {
        if (e.type == cfb::ElementType::Stream)
            all.emplace_back(path, ReadStream(parent, e.name));
    });
    return all;
}

// ---- RawFile ------------------------------------------------------------------------------------

uint32_t RawFile::U32(size_t o) const
{
    auto b = reinterpret_cast<const uint8_t *>(bytes.data());
    return b[o] | b[o + 1] << 8 | b[o + 2] << 16 | uint32_t(b[o + 3]) << 24;
}

void RawFile::SetU32(size_t o, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[o + i] = char(v >> (8 * i));
}

size_t RawFile::FatEntryOffset(uint32_t sector) const
{
    uint32_t perSector = SectorSize() / 4;
    uint32_t fatSector = U32(76 + 4 * (sector / perSector));
    return SectorOffset(fatSector) + 4 * (sector % perSector);
}

size_t RawFile::MiniFatEntryOffset(uint32_t miniSector) const
{
    uint32_t perSector = SectorSize() / 4;
    uint32_t s = U32(60);
    for (uint32_t i = 0; i < miniSector / perSector; ++i)
        s = Fat(s);
    return SectorOffset(s) + 4 * (miniSector % perSector);
}

std::vector<uint32_t> RawFile::DirSectors() const
{
    std::vector<uint32_t> chain;
    for (uint32_t s = U32(48); s < 0xFFFFFFFA && chain.size() < bytes.size() / 512; s = Fat(s))
        chain.push_back(s);
    return chain;
}

size_t RawFile::EntryOffset(uint32_t id) const
{
    uint32_t perSector = SectorSize() / 128;
    return SectorOffset(DirSectors()[id / perSector]) + 128 * (id % perSector);
}

std::u16string RawFile::EntryName(uint32_t id) const
{
    size_t o = EntryOffset(id);
    std::u16string name;
    for (size_t i = 0; i < 31; ++i) {
        char16_t c = char16_t(uint8_t(bytes[o + 2 * i]) | uint8_t(bytes[o + 2 * i + 1]) << 8);
        if (c == 0)
            break;
        name += c;
    }
    return name;
}

uint32_t RawFile::FindEntry(const std::u16string &name) const
{
    for (uint32_t id = 0; id < EntryCount(); ++id)
        if (bytes[EntryOffset(id) + 66] != 0 && EntryName(id) == name)
            return id;
    return 0xFFFFFFFF;
}

std::vector<std::string> RawFile::CheckTrees() const
{
    std::vector<std::string> problems;
    auto color = [&](uint32_t id) { return uint8_t(bytes[EntryOffset(id) + 67]); };
    auto link = [&](uint32_t id, int which) { return U32(EntryOffset(id) + 68 + 4 * which); };
    // Returns the black height, or -1.
    std::function<int(uint32_t, const std::u16string *, const std::u16string *)> check =
        [&](uint32_t id, const std::u16string *low, const std::u16string *high) -> int {
        if (id == 0xFFFFFFFF)
            return 1;
        std::u16string name = EntryName(id);
        if ((low && cfb::CompareNames(*low, name) >= 0) || (high && cfb::CompareNames(name, *high) >= 0))
            problems.push_back("out of order: " + text::Utf16ToUtf8(name));
        uint32_t l = link(id, 0), r = link(id, 1);
        if (color(id) == 0 && ((l != 0xFFFFFFFF && color(l) == 0) || (r != 0xFFFFFFFF && color(r) == 0)))
            problems.push_back("red with red child: " + text::Utf16ToUtf8(name));
        int lh = check(l, low, &name), rh = check(r, &name, high);
        if (lh != rh)
            problems.push_back("black heights differ under: " + text::Utf16ToUtf8(name));
        if (bytes[EntryOffset(id) + 66] == 1 && link(id, 2) != 0xFFFFFFFF) {
            uint32_t root = link(id, 2);
            if (color(root) != 1)
                problems.push_back("red root under: " + text::Utf16ToUtf8(name));
            check(root, nullptr, nullptr);
        }
        return lh + (color(id) == 1 ? 1 : 0);
    };
    uint32_t top = link(0, 2);
    if (top != 0xFFFFFFFF) {
        if (color(top) != 1)
            problems.push_back("red root at the top");
        check(top, nullptr, nullptr);
    }
    return problems;
}

} // namespace cfbtest

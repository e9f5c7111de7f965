#include "platform/compoundfile/Directory.h"

#include "platform/compoundfile/CompoundFile.h"
#include "platform/text/Windows1252.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace cfb::detail {

namespace {

[[noreturn]] void Corrupt() { throw EPlatformError(STG_E_DOCFILECORRUPT); }

// Simple upper-case mapping of the scripts names are written in: Latin, Greek, Cyrillic,
// Armenian and the full-width forms.
char16_t Upper(char16_t c)
{
    if (c < 0x80)
        return c >= 'a' && c <= 'z' ? char16_t(c - 32) : c;
    if (c < 0x100) {
        if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
            return char16_t(c - 32);
        if (c == 0xFF)
            return 0x178;
        if (c == 0xB5)
            return 0x39C;
        return c;
    }
    if (c < 0x180) {
        if (c == 0x131)
            return 'I';
        if (c == 0x17F)
            return 'S';
        if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
            return char16_t(c & ~1u);
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
            return (c & 1) ? c : char16_t(c - 1);
        return c;
    }
    if (c == 0x192)
        return 0x191;
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2)
        return char16_t(c - 32);
    if (c == 0x3C2)
        return 0x3A3;
    if (c == 0x3AC)
        return 0x386;
    if (c >= 0x3AD && c <= 0x3AF)
        return char16_t(c - 37);
    if (c == 0x3CC)
        return 0x38C;
    if (c == 0x3CD || c == 0x3CE)
        return char16_t(c - 63);
    if (c >= 0x430 && c <= 0x44F)
        return char16_t(c - 32);
    if (c >= 0x450 && c <= 0x45F)
        return char16_t(c - 80);
    if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F))
        return char16_t(c & ~1u);
    if (c >= 0x4C1 && c <= 0x4CE)
        return (c & 1) ? c : char16_t(c - 1);
    if (c == 0x4CF)
        return 0x4C0;
    if (c >= 0x561 && c <= 0x586)
        return char16_t(c - 48);
    if (c >= 0xFF41 && c <= 0xFF5A)
        return char16_t(c - 32);
    return c;
}

} // namespace

std::u16string NameKey(std::u16string_view name)
{
    std::u16string key(name);
    for (char16_t &c : key)
        c = Upper(c);
    return key;
}

// ---- Entries ------------------------------------------------------------------------------

void DirEntry::Parse(const uint8_t *b, bool version3)
{
    type = b[66];
    uint16_t nameBytes = Get16(b + 64);
    if (type != TypeEmpty && nameBytes > 64)
        Corrupt();
    name.clear();
    for (uint32_t i = 0; i + 1 < nameBytes / 2u && i < 32; ++i) {
        char16_t c = Get16(b + 2 * i);
        if (c == 0)
            break;
        name.push_back(c);
    }
    color = b[67];
    left = Get32(b + 68);
    right = Get32(b + 72);
    child = Get32(b + 76);
    std::memcpy(clsid, b + 80, 16);
    stateBits = Get32(b + 96);
    created = Get64(b + 100);
    modified = Get64(b + 108);
    start = Get32(b + 116);
    // Version-3 writers may leave garbage in the high half of the size.
    size = version3 ? Get32(b + 120) : Get64(b + 120);
}

void DirEntry::Serialize(uint8_t *b) const
{
    std::memset(b, 0, DirEntrySize);
    for (size_t i = 0; i < name.size() && i < MaxNameLength; ++i)
        Put16(b + 2 * i, name[i]);
    Put16(b + 64, name.empty() ? 0 : static_cast<uint16_t>((name.size() + 1) * 2));
    b[66] = type;
    b[67] = color;
    Put32(b + 68, left);
    Put32(b + 72, right);
    Put32(b + 76, child);
    std::memcpy(b + 80, clsid, 16);
    Put32(b + 96, stateBits);
    Put64(b + 100, created);
    Put64(b + 108, modified);
    Put32(b + 116, start);
    Put64(b + 120, size);
}

// ---- Directory ------------------------------------------------------------------------------

Directory::Directory(Fat &fat, SectorFile &file) : fFat(fat), fFile(file)
{
}

void Directory::Load()
{
    fSectors = fFat.Walk(fFile.FileHeader().firstDirSector);
    if (fSectors.empty())
        Corrupt();
    const uint32_t ss = fFile.SectorSize();
    const uint32_t perSector = ss / DirEntrySize;
    fEntries.resize(fSectors.size() * perSector);
    std::vector<uint8_t> buffer;
    for (size_t i = 0; i < fSectors.size();) {
        size_t run = 1;
        while (i + run < fSectors.size() && fSectors[i + run] == fSectors[i] + run)
            ++run;
        buffer.resize(run * ss);
        fFile.ReadAt(fFile.SectorOffset(fSectors[i]), buffer.data(), buffer.size());
        for (size_t k = 0; k < run * perSector; ++k)
            fEntries[i * perSector + k].Parse(&buffer[k * DirEntrySize], fFile.FileHeader().majorVersion == 3);
        i += run;
    }
    if (fEntries[0].type != TypeRoot)
        Corrupt();

    // Every entry is reached at most once from the root.
    const uint32_t count = static_cast<uint32_t>(fEntries.size());
    std::vector<bool> reached(count);
    reached[0] = true;
    std::vector<uint32_t> storages{0}, nodes;
    while (!storages.empty()) {
        uint32_t storage = storages.back();
        storages.pop_back();
        if (fEntries[storage].child != NOSTREAM)
            nodes.push_back(fEntries[storage].child);
        while (!nodes.empty()) {
            uint32_t x = nodes.back();
            nodes.pop_back();
            if (x >= count || reached[x])
                Corrupt();
            reached[x] = true;
            const DirEntry &e = fEntries[x];
            if (e.type != TypeStorage && e.type != TypeStream)
                Corrupt();
            if (e.left != NOSTREAM)
                nodes.push_back(e.left);
            if (e.right != NOSTREAM)
                nodes.push_back(e.right);
            if (e.type == TypeStorage)
                storages.push_back(x);
        }
    }
}

void Directory::InitNew()
{
    fFat.Extend(fSectors, 1);
    fFile.FileHeader().firstDirSector = fSectors[0];
    fFile.FileHeader().numDirSectors = 1;
    fFile.MarkHeaderDirty();
    fEntries.resize(fFile.SectorSize() / DirEntrySize);
    DirEntry &root = fEntries[0];
    root.name = u"Root Entry";
    root.type = TypeRoot;
    root.color = Black;
    root.start = ENDOFCHAIN;
    std::vector<uint8_t> buffer(fFile.SectorSize());
    for (size_t k = 0; k < fEntries.size(); ++k)
        fEntries[k].Serialize(&buffer[k * DirEntrySize]);
    fFile.WriteSector(fSectors[0], buffer.data());
}

Directory::Index &Directory::IndexOf(uint32_t storage)
{
    auto &slot = fIndexes[storage];
    if (!slot) {
        auto index = std::make_unique<Index>();
        CheckTree(storage, *index);
        slot = std::move(index);
    }
    return *slot;
}

// Fills the index from the storage's tree and notes whether the tree is a valid red-black
// tree in name order. The tree was checked for cycles when the directory was read.
void Directory::CheckTree(uint32_t storage, Index &index)
{
    const std::u16string *previous = nullptr;
    std::vector<uint32_t> stack;
    size_t depth = 0;
    uint32_t x = fEntries[storage].child;
    while (x != NOSTREAM || !stack.empty()) {
        while (x != NOSTREAM) {
            stack.push_back(x);
            depth = std::max(depth, stack.size());
            x = fEntries[x].left;
        }
        x = stack.back();
        stack.pop_back();
        auto [it, inserted] = index.byName.emplace(NameKey(fEntries[x].name), x);
        if (!inserted)
            Corrupt();
        if (previous && !KeyLess()(*previous, it->first))
            index.validTree = false;
        previous = &it->first;
        x = fEntries[x].right;
    }
    // A red-black tree of n nodes is at most 2 log2(n+1) deep; only then is the recursive
    // check bounded.
    const size_t n = index.byName.size();
    if (depth > 2 * static_cast<size_t>(std::bit_width(n + 1)))
        index.validTree = false;
    uint32_t root = fEntries[storage].child;
    if (index.validTree && root != NOSTREAM)
        index.validTree = fEntries[root].color == Black && BlackHeight(root) > 0;
}

// The black height of the subtree, or 0 when it breaks a red-black rule.
int Directory::BlackHeight(uint32_t node) const
{
    if (node == NOSTREAM)
        return 1;
    const DirEntry &e = fEntries[node];
    if (e.color != Red && e.color != Black)
        return 0;
    if (e.color == Red && ((e.left != NOSTREAM && fEntries[e.left].color == Red) ||
                           (e.right != NOSTREAM && fEntries[e.right].color == Red)))
        return 0;
    int left = BlackHeight(e.left);
    int right = BlackHeight(e.right);
    if (left == 0 || left != right)
        return 0;
    return left + (e.color == Black ? 1 : 0);
}

uint32_t Directory::Find(uint32_t storage, std::u16string_view name)
{
    Index &index = IndexOf(storage);
    auto it = index.byName.find(NameKey(name));
    return it == index.byName.end() ? NOSTREAM : it->second;
}

std::vector<uint32_t> Directory::Children(uint32_t storage)
{
    Index &index = IndexOf(storage);
    std::vector<uint32_t> ids;
    ids.reserve(index.byName.size());
    for (const auto &[key, id] : index.byName)
        ids.push_back(id);
    return ids;
}

// A balanced tree from the ids in name order: the nodes on the deepest, incomplete level
// are red, all others black.
uint32_t Directory::Build(const std::vector<uint32_t> &ids, size_t lo, size_t hi, int depth, int redDepth)
{
    if (lo >= hi)
        return NOSTREAM;
    size_t mid = lo + (hi - lo) / 2;
    uint32_t node = ids[mid];
    DirEntry &e = fEntries[node];
    e.left = Build(ids, lo, mid, depth + 1, redDepth);
    e.right = Build(ids, mid + 1, hi, depth + 1, redDepth);
    e.color = depth == redDepth ? Red : Black;
    MarkDirty(node);
    return node;
}

void Directory::Rebuild(uint32_t storage, Index &index)
{
    std::vector<uint32_t> ids;
    ids.reserve(index.byName.size());
    for (const auto &[key, id] : index.byName)
        ids.push_back(id);
    int redDepth = std::bit_width(ids.size() + 1) - 1;
    fEntries[storage].child = Build(ids, 0, ids.size(), 0, redDepth);
    MarkDirty(storage);
    index.validTree = true;
}

void Directory::Replace(uint32_t storage, uint32_t parent, uint32_t oldChild, uint32_t newChild)
{
    if (parent == NOSTREAM) {
        fEntries[storage].child = newChild;
        MarkDirty(storage);
    } else {
        DirEntry &p = fEntries[parent];
        (p.left == oldChild ? p.left : p.right) = newChild;
        MarkDirty(parent);
    }
}

void Directory::RotateLeft(uint32_t storage, uint32_t x, uint32_t parent)
{
    uint32_t y = fEntries[x].right;
    fEntries[x].right = fEntries[y].left;
    fEntries[y].left = x;
    Replace(storage, parent, x, y);
    MarkDirty(x);
    MarkDirty(y);
}

void Directory::RotateRight(uint32_t storage, uint32_t x, uint32_t parent)
{
    uint32_t y = fEntries[x].left;
    fEntries[x].left = fEntries[y].right;
    fEntries[y].right = x;
    Replace(storage, parent, x, y);
    MarkDirty(x);
    MarkDirty(y);
}

void Directory::Insert(uint32_t storage, uint32_t node, const std::u16string &key)
{
    DirEntry &n = fEntries[node];
    n.left = n.right = NOSTREAM;
    n.color = Red;
    MarkDirty(node);
    std::vector<uint32_t> path;
    for (uint32_t x = fEntries[storage].child; x != NOSTREAM;) {
        path.push_back(x);
        x = KeyLess()(key, NameKey(fEntries[x].name)) ? fEntries[x].left : fEntries[x].right;
    }
    if (path.empty()) {
        Replace(storage, NOSTREAM, NOSTREAM, node);
    } else {
        DirEntry &p = fEntries[path.back()];
        (KeyLess()(key, NameKey(p.name)) ? p.left : p.right) = node;
        MarkDirty(path.back());
    }
    path.push_back(node);

    // path holds the ancestors of the current node, which is path.back().
    while (path.size() >= 2) {
        size_t k = path.size() - 1;
        uint32_t cur = path[k], parent = path[k - 1];
        if (fEntries[parent].color == Black)
            break;
        // A red parent is never the root: the grandparent exists.
        uint32_t grand = path[k - 2];
        uint32_t great = k >= 3 ? path[k - 3] : NOSTREAM;
        bool parentIsLeft = fEntries[grand].left == parent;
        uint32_t uncle = parentIsLeft ? fEntries[grand].right : fEntries[grand].left;
        if (uncle != NOSTREAM && fEntries[uncle].color == Red) {
            fEntries[parent].color = Black;
            fEntries[uncle].color = Black;
            fEntries[grand].color = Red;
            MarkDirty(parent), MarkDirty(uncle), MarkDirty(grand);
            path.resize(k - 1);
            continue;
        }
        if (parentIsLeft) {
            if (fEntries[parent].right == cur) {
                RotateLeft(storage, parent, grand);
                parent = cur;
            }
            RotateRight(storage, grand, great);
        } else {
            if (fEntries[parent].left == cur) {
                RotateRight(storage, parent, grand);
                parent = cur;
            }
            RotateLeft(storage, grand, great);
        }
        fEntries[parent].color = Black;
        fEntries[grand].color = Red;
        MarkDirty(parent), MarkDirty(grand);
        break;
    }
    uint32_t root = fEntries[storage].child;
    if (fEntries[root].color != Black) {
        fEntries[root].color = Black;
        MarkDirty(root);
    }
}

uint32_t Directory::NewEntry()
{
    while (fFreeHint < fEntries.size() && fEntries[fFreeHint].type != TypeEmpty)
        ++fFreeHint;
    if (fFreeHint < fEntries.size())
        return fFreeHint;
    // A new directory sector of free entries, written before the FAT links it.
    const uint32_t perSector = fFile.SectorSize() / DirEntrySize;
    if (fEntries.size() + perSector > NOSTREAM)
        throw EPlatformError(STG_E_DOCFILETOOLARGE);
    fFat.Extend(fSectors, 1);
    size_t first = fEntries.size();
    fEntries.resize(first + perSector);
    std::vector<uint8_t> buffer(fFile.SectorSize());
    for (size_t k = 0; k < perSector; ++k)
        fEntries[first + k].Serialize(&buffer[k * DirEntrySize]);
    fFile.WriteSector(fSectors.back(), buffer.data());
    fFile.FileHeader().numDirSectors = static_cast<uint32_t>(fSectors.size());
    fFile.MarkHeaderDirty();
    return static_cast<uint32_t>(first);
}

uint32_t Directory::Add(uint32_t storage, DirEntry entry)
{
    Index &index = IndexOf(storage);
    if (!index.validTree)
        Rebuild(storage, index);
    uint32_t id = NewEntry();
    fEntries[id] = std::move(entry);
    std::u16string key = NameKey(fEntries[id].name);
    Insert(storage, id, key);
    index.byName.emplace(std::move(key), id);
    return id;
}

void Directory::Unlink(uint32_t storage, uint32_t id)
{
    Index &index = IndexOf(storage);
    index.byName.erase(NameKey(fEntries[id].name));
    Rebuild(storage, index);
}

void Directory::Release(uint32_t id)
{
    fEntries[id] = DirEntry();
    fIndexes.erase(id);
    MarkDirty(id);
    if (id < fFreeHint)
        fFreeHint = id;
}

void Directory::Flush()
{
    const uint32_t perSector = fFile.SectorSize() / DirEntrySize;
    uint8_t buffer[DirEntrySize];
    for (uint32_t id : fDirty) {
        fEntries[id].Serialize(buffer);
        fFile.WriteAt(fFile.SectorOffset(fSectors[id / perSector]) + (id % perSector) * DirEntrySize, buffer,
                      DirEntrySize);
    }
    fDirty.clear();
}

} // namespace cfb::detail

namespace cfb {

int CompareNames(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    std::u16string ka = detail::NameKey(a), kb = detail::NameKey(b);
    return ka < kb ? -1 : ka == kb ? 0 : 1;
}

void CheckName(std::u16string_view name)
{
    if (name.empty() || name.size() > MaxNameLength ||
        name.find_first_of(u"/\\:!") != std::u16string_view::npos)
        throw EPlatformError(STG_E_INVALIDNAME, text::Utf16ToCp1252(name));
}

} // namespace cfb

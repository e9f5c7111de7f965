// qmk storage ls|cat|put|mkdir: compound files from the command line.

#include "tools/qmk/Commands.h"

#include "platform/compoundfile/CompoundFile.h"
#include "platform/core/FileSystem.h"
#include "platform/text/Unicode.h"

#include <cstdio>
#include <iostream>
#include <iterator>

namespace {

using cfb::Storage;

std::vector<std::u16string> SplitPath(const std::string &path)
{
    std::vector<std::u16string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos)
            slash = path.size();
        if (slash > start)
            parts.push_back(text::Utf8ToUtf16(path.substr(start, slash - start)));
        start = slash + 1;
    }
    return parts;
}

constexpr uint32_t ReadMode = cfb::STGM_READ | cfb::STGM_SHARE_DENY_WRITE;
constexpr uint32_t ElementRead = cfb::STGM_READ | cfb::STGM_SHARE_EXCLUSIVE;
constexpr uint32_t ElementWrite = cfb::STGM_READWRITE | cfb::STGM_SHARE_EXCLUSIVE;

// Depth first without recursion: nesting is as deep as the file says.
void List(std::unique_ptr<Storage> root)
{
    struct Level {
        std::unique_ptr<Storage> storage;
        std::vector<cfb::ElementInfo> children;
        size_t next;
        std::string prefix;
    };
    std::vector<Level> levels;
    auto children = root->List();
    levels.push_back({std::move(root), std::move(children), 0, ""});
    while (!levels.empty()) {
        Level &level = levels.back();
        if (level.next == level.children.size()) {
            levels.pop_back();
            continue;
        }
        const cfb::ElementInfo &e = level.children[level.next++];
        std::string path = level.prefix + text::Utf16ToUtf8(e.name);
        if (e.type == cfb::ElementType::Stream) {
            std::cout << path << "\tstream\t" << e.size << '\n';
        } else {
            std::cout << path << "\tstorage\n";
            auto child = level.storage->OpenStorage(e.name, ElementRead);
            auto grandChildren = child->List();
            levels.push_back({std::move(child), std::move(grandChildren), 0, path + "/"});
        }
    }
}

// Opens the file read-write, creating it when missing.
std::unique_ptr<Storage> OpenForWriting(const std::string &file)
{
    constexpr uint32_t mode = cfb::STGM_READWRITE | cfb::STGM_SHARE_EXCLUSIVE;
    if (!fsys::Exists(file))
        return Storage::CreateFile(file, mode);
    return Storage::OpenFile(file, mode);
}

// Opens the storages along the path from root, creating missing ones. The chain of opened
// storages is kept: each is open only while its children are.
std::vector<std::unique_ptr<Storage>> OpenPath(std::unique_ptr<Storage> root,
                                               const std::vector<std::u16string> &names)
{
    std::vector<std::unique_ptr<Storage>> chain;
    chain.push_back(std::move(root));
    for (const std::u16string &name : names) {
        Storage &parent = *chain.back();
        std::unique_ptr<Storage> next;
        try {
            next = parent.OpenStorage(name, ElementWrite);
        } catch (const EPlatformError &e) {
            if (e.ErrorCode() != cfb::STG_E_FILENOTFOUND)
                throw;
            next = parent.CreateStorage(name, ElementWrite);
        }
        chain.push_back(std::move(next));
    }
    return chain;
}

int Ls(const std::string &file)
{
    RequireFile(file);
    List(Storage::OpenFile(file, ReadMode));
    std::cout.flush();
    return 0;
}

int Cat(const std::string &file, const std::string &path)
{
    std::vector<std::u16string> names = SplitPath(path);
    if (names.empty())
        return UsageError("storage cat: no stream named in '" + path + "'");
    RequireFile(file);
    std::vector<std::unique_ptr<Storage>> chain;
    chain.push_back(Storage::OpenFile(file, ReadMode));
    for (size_t i = 0; i + 1 < names.size(); ++i)
        chain.push_back(chain.back()->OpenStorage(names[i], ElementRead));
    auto stream = chain.back()->OpenStream(names.back(), ElementRead);
    std::vector<char> buffer(1 << 16);
    while (size_t n = stream->Read(buffer.data(), buffer.size()))
        std::cout.write(buffer.data(), static_cast<std::streamsize>(n));
    std::cout.flush();
    return 0;
}

int Put(const std::string &file, const std::string &path)
{
    std::vector<std::u16string> names = SplitPath(path);
    if (names.empty())
        return UsageError("storage put: no stream named in '" + path + "'");
    std::string data((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    std::u16string streamName = names.back();
    names.pop_back();
    auto chain = OpenPath(OpenForWriting(file), names);
    // An existing stream is replaced; a storage of that name is kept.
    for (const cfb::ElementInfo &e : chain.back()->List())
        if (e.type == cfb::ElementType::Storage && cfb::CompareNames(e.name, streamName) == 0)
            throw EPlatformError(cfb::STG_E_FILEALREADYEXISTS, path);
    auto stream = chain.back()->CreateStream(streamName, ElementWrite | cfb::STGM_CREATE);
    stream->Write(data.data(), data.size());
    return 0;
}

int Mkdir(const std::string &file, const std::string &path)
{
    std::vector<std::u16string> names = SplitPath(path);
    if (names.empty())
        return UsageError("storage mkdir: no storage named in '" + path + "'");
    OpenPath(OpenForWriting(file), names);
    return 0;
}

} // namespace

void RequireFile(const std::string &file)
{
    if (!fsys::Exists(file))
        throw EPlatformError(cfb::STG_E_FILENOTFOUND, file);
}

int RunStorageCommand(const Args &args)
{
    if (args.empty())
        return UsageError("storage: ls, cat, put or mkdir expected");
    const std::string &command = args[0];
    size_t wanted = command == "ls" ? 2 : (command == "cat" || command == "put" || command == "mkdir") ? 3 : 0;
    if (wanted == 0)
        return UsageError("storage: unknown command '" + command + "'");
    if (args.size() != wanted)
        return UsageError("storage " + command + (wanted == 2 ? ": FILE expected" : ": FILE and PATH expected"));
    if (command == "ls")
        return Ls(args[1]);
    if (command == "cat")
        return Cat(args[1], args[2]);
    if (command == "put")
        return Put(args[1], args[2]);
    return Mkdir(args[1], args[2]);
}

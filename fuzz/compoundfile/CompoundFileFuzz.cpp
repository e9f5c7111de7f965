// Opens the input as a compound file in memory, lists and reads everything; when its size is odd,
// also changes it: creates, grows, shrinks and destroys elements.

#include "platform/compoundfile/CompoundFile.h"

#include <memory>
#include <string>

namespace {

constexpr uint32_t RO = cfb::STGM_READ | cfb::STGM_SHARE_EXCLUSIVE;
constexpr uint32_t RW = cfb::STGM_READWRITE | cfb::STGM_SHARE_EXCLUSIVE;

void ReadAll(cfb::Storage &storage, bool change, int depth)
{
    char buffer[8192];
    for (const cfb::ElementInfo &e : storage.List()) {
        try {
            if (e.type == cfb::ElementType::Stream) {
                auto s = storage.OpenStream(e.name, change ? RW : RO);
                while (s->Read(buffer, sizeof buffer) == sizeof buffer) {
                }
                if (change) {
                    s->Seek(3);
                    s->Write(buffer, 700);
                    s->SetSize(s->Size() / 2);
                }
            } else if (depth < 64) {
                auto child = storage.OpenStorage(e.name, change ? RW : RO);
                ReadAll(*child, change, depth + 1);
            }
        } catch (const EPlatformError &) {
        }
    }
    if (change) {
        auto s = storage.CreateStream(u"new stream", RW | cfb::STGM_CREATE);
        s->Write(buffer, 5000);
        storage.CreateStorage(u"new storage", RW | cfb::STGM_CREATE);
        storage.DestroyElement(u"new storage");
        for (const cfb::ElementInfo &e : storage.List())
            if (e.name != u"new stream") {
                storage.DestroyElement(e.name);
                break;
            }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    auto file = std::make_shared<cfb::MemoryFile>(std::string(reinterpret_cast<const char *>(data), size));
    const bool change = size & 1;
    try {
        auto root = cfb::Storage::OpenInMemory(file, change ? RW : RO);
        ReadAll(*root, change, 0);
    } catch (const EPlatformError &) {
    }
    if (change) {
        // What was changed must read back without a crash.
        try {
            auto root = cfb::Storage::OpenInMemory(file, RO);
            ReadAll(*root, false, 0);
        } catch (const EPlatformError &) {
        }
    }
    return 0;
}

// Opens the input as a compound file, lists and reads everything; when its size is odd,
// also changes it: creates, grows, shrinks and destroys elements.

#include "platform/compoundfile/CompoundFile.h"

#include <string>
#include <sys/mman.h>
#include <unistd.h>

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
    int fd = ::memfd_create("fuzz", 0);
    if (fd < 0 || ::write(fd, data, size) != static_cast<ssize_t>(size)) {
        ::close(fd);
        return 0;
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    const bool change = size & 1;
    cfb::IsStorageFile(path);
    try {
        auto root = cfb::Storage::OpenFile(path, change ? RW : RO);
        ReadAll(*root, change, 0);
    } catch (const EPlatformError &) {
    }
    if (change) {
        // What was changed must read back without a crash.
        try {
            auto root = cfb::Storage::OpenFile(path, RO);
            ReadAll(*root, false, 0);
        } catch (const EPlatformError &) {
        }
    }
    ::close(fd);
    return 0;
}

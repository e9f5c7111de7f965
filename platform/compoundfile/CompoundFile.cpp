#include "platform/compoundfile/CompoundFile.h"

namespace cfb {

class FileState {};

namespace {
[[noreturn]] void NotYet() { throw EPlatformError(STG_E_UNIMPLEMENTEDFUNCTION); }
} // namespace

Stream::Stream(std::shared_ptr<FileState> file, uint32_t entry, bool writable)
    : fFile(std::move(file)), fEntry(entry), fWritable(writable)
{
}
Stream::~Stream() = default;
size_t Stream::Read(void *, size_t) { NotYet(); }
size_t Stream::Write(const void *, size_t) { NotYet(); }
uint64_t Stream::Seek(int64_t, Origin) { NotYet(); }
uint64_t Stream::Size() const { NotYet(); }
void Stream::SetSize(uint64_t) { NotYet(); }

Storage::Storage(std::shared_ptr<FileState> file, uint32_t entry, bool writable)
    : fFile(std::move(file)), fEntry(entry), fWritable(writable)
{
}
Storage::~Storage() = default;
std::unique_ptr<Storage> Storage::CreateFile(const std::string &, uint32_t) { NotYet(); }
std::unique_ptr<Storage> Storage::OpenFile(const std::string &, uint32_t) { NotYet(); }
std::unique_ptr<Stream> Storage::CreateStream(std::u16string_view, uint32_t) { NotYet(); }
std::unique_ptr<Stream> Storage::OpenStream(std::u16string_view, uint32_t) { NotYet(); }
std::unique_ptr<Storage> Storage::CreateStorage(std::u16string_view, uint32_t) { NotYet(); }
std::unique_ptr<Storage> Storage::OpenStorage(std::u16string_view, uint32_t) { NotYet(); }
void Storage::DestroyElement(std::u16string_view) { NotYet(); }
std::vector<ElementInfo> Storage::List() const { NotYet(); }

HRESULT IsStorageFile(const std::string &) { return STG_E_UNIMPLEMENTEDFUNCTION; }
int CompareNames(std::u16string_view, std::u16string_view) { NotYet(); }
void CheckName(std::u16string_view) { NotYet(); }

} // namespace cfb

// The input becomes a stream; the stream primitives and list readers read it.

#include "browser/store/L1PersistentObjects.h"
#include "platform/compoundfile/OsFile.h"

#include <memory>
#include <string>

namespace {

// The reader chosen by the first byte, over the rest as a stream.
void ReadWith(uint8_t choice, TvdStorage &root)
{
    auto s = root.OpenStream("s", vdModeReadWrite);
    TStringList list(true);
    switch (choice % 6) {
    case 0: s->ReadNonObjectShortStrings(&list); break;
    case 1: s->ReadHomogeneousStringList<TvdNamedPersistentObject>(&list); break;
    case 2: s->ReadSmallHomogeneousStringList<TvdStorage_SubItemName_MappingValue>(&list); break;
    case 3:
        s->ReadRect();
        s->ReadWord();
        s->ReadBoolean();
        s->ReadShortLongString();
        break;
    case 4: L1LoadObjectFromItsOwnStream<TvdDatabaseInfo>(&root, "s"); break;
    case 5: {
        s.reset();
        TvdStorage_SubItemNames_Server server;
        server.GetStorageName(root, std::string(40, 'n'));
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    try {
        auto root = TvdStorage::CreateInMemory(std::make_shared<cfb::MemoryFile>());
        const char *name = data[0] % 6 == 5 ? "_sys__SubItemsList" : "s";
        root->CreateStream(name, vdModeCreateReadWrite)->SafeWrite(data + 1, static_cast<int32_t>(size - 1));
        if (data[0] % 6 == 5)
            root->CreateStream("s", vdModeCreateReadWrite);
        ReadWith(data[0], *root);
    } catch (const Exception &) {
    }
    return 0;
}

// The writer of complete runtime databases.

#include "browser/runtime/L1Quillmark_RunTimeDatabaseWriter.h"

#include "browser/support/L1misc.h"

struct TL1Quillmark_RunTimeDatabaseWriter::SubStorage {
    std::unique_ptr<TvdStorage> storage;
    // The long names stored so far with their codes, sorted by name.
    TStringList mappings{true};
    long long codes = 0;

    SubStorage(TvdStorage &root, const std::string &name)
        : storage(root.OpenOrCreateSubStorage(name, vdModeReadWrite, true))
    {
        mappings.SetSorted(true);
    }

    std::string ElementName(const std::string &className)
    {
        if (className.size() < 32)
            return className;
        int index = mappings.IndexOf(className);
        if (index < 0) {
            auto *mapping = new TvdStorage_SubItemName_MappingValue();
            mapping->Name = className;
            mapping->Code = TL1IntegerPairToStringCoder().IntegerToString(++codes);
            index = mappings.Add(className, mapping);
        }
        return static_cast<TvdStorage_SubItemName_MappingValue *>(mappings.Objects(index))->StorageName();
    }

    void WriteNames()
    {
        if (mappings.Empty())
            return;
        std::unique_ptr<TvdStream> stream = storage->CreateStream(vdSubItemsListStreamName, vdModeCreateReadWrite);
        stream->WriteHomogeneousStringList(&mappings);
    }
};

TL1Quillmark_RunTimeDatabaseWriter::TL1Quillmark_RunTimeDatabaseWriter(const std::string &fileName)
    : fDatabase(std::make_unique<TL1Quillmark_RunTimeDatabase>())
{
    fDatabase->SetAttachMode(TvdAttachMode::vdWriter);
    fDatabase->BuildNew(fileName);
    fHorizontal = std::make_unique<SubStorage>(RootStorage(), vdHorizontalDiagramsStorageName);
    fVertical = std::make_unique<SubStorage>(RootStorage(), vdVerticalDiagramsStorageName);
}

TL1Quillmark_RunTimeDatabaseWriter::~TL1Quillmark_RunTimeDatabaseWriter()
{
    try {
        Finish();
    } catch (const std::exception &) {
        // A destructor reports nothing; callers that care call Finish.
    }
}

TvdStorage &TL1Quillmark_RunTimeDatabaseWriter::RootStorage() { return *fDatabase->GetRootStorage(); }

void TL1Quillmark_RunTimeDatabaseWriter::WriteSymbolTable(const TL1OPascalSymbolTable &table)
{
    table.SaveToOwnStream(RootStorage(), vdSymbolTableStreamName);
}

void TL1Quillmark_RunTimeDatabaseWriter::WriteTreeDiagram(const std::string &className, const TvdTreeDiagram &diagram,
                                                          bool horizontal)
{
    SubStorage &sub = horizontal ? *fHorizontal : *fVertical;
    diagram.SaveToOwnStream(*sub.storage, sub.ElementName(className));
}

void TL1Quillmark_RunTimeDatabaseWriter::Finish()
{
    if (!fDatabase)
        return;
    std::unique_ptr<TL1Quillmark_RunTimeDatabase> database = std::move(fDatabase);
    std::unique_ptr<SubStorage> horizontal = std::move(fHorizontal);
    std::unique_ptr<SubStorage> vertical = std::move(fVertical);
    horizontal->WriteNames();
    vertical->WriteNames();
}

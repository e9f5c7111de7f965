// Arbitrary bytes as a "_symboltable" stream: the reader fails with the system's error or gives
// a table whose queries, routine list and written form all work.

#include "browser/runtime/L1Quillmark_RunTimeDatabase.h"
#include "tests/fixtures/StreamFixture.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::unique_ptr<TL1OPascalSymbolTable> table;
    try {
        table = fixture::ReadFromBytes<TL1OPascalSymbolTable>(std::string(reinterpret_cast<const char *>(data), size));
    } catch (const Exception &) {
        return 0;
    }
    int members = table->PropertyCount() + table->MethodCount() + table->EventCount();
    for (int i = 0; i < table->RoutineCount(); ++i) {
        TStringList owners;
        const std::string &name = table->Routines().Strings(i);
        if (table->ListRoutineOwners(name, owners) < 1 || !table->FindUnit(table->FindUnitOfRoutine(name)))
            std::abort();
        table->IsUniqueRoutineName(name);
    }
    for (int i = 0; i < table->ClassCount(); ++i)
        if (!table->GetHasClass(table->GetClass(i)->Name))
            std::abort();
    for (int i = 0; i < table->InterfaceCount(); ++i)
        if (table->FindInterface(table->GetInterface(i)->Name) == nullptr)
            std::abort();

    // What was read writes again and reads back to the same counts. (A name of 255 characters
    // reads but is refused when written.)
    std::string written;
    try {
        written = fixture::BytesOf(*table);
    } catch (const Exception &) {
        return 0;
    }
    auto again = fixture::ReadFromBytes<TL1OPascalSymbolTable>(written);
    if (again->UnitCount() != table->UnitCount() || again->ClassCount() != table->ClassCount() ||
        again->RoutineCount() != table->RoutineCount() ||
        again->PropertyCount() + again->MethodCount() + again->EventCount() != members)
        std::abort();
    return 0;
}

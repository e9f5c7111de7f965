#include "tools/qmk/Commands.h"

int RunStorageCommand(const Args &)
{
    return Usage();
}

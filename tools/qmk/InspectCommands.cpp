#include "tools/qmk/Commands.h"

int RunInspectCommand(const Args &)
{
    return Usage();
}

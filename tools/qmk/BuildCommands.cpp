#include "tools/qmk/Commands.h"

int RunBuildCommand(const Args &)
{
    return Usage();
}

// The main window's document tracker.
#include "browser/app/U_SimpleDocument.h"

#include "browser/support/L1basis.h"

#include <chrono>

void Tvd_SimpleDocument::SetModified(bool modified)
{
    if (modified == fModified)
        return;
    fModified = modified;
    ModifiedChanged();
}

void Tvd_SimpleDocument::OpenFile(const std::string &fileName)
{
    fFileName = fileName;
    // The fine real-time clock: time() reads a coarse one that can lag a file's just-written date
    // by a tick, which would make a file opened right after it was written look changed.
    fOpenedTime = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    SetModified(false);
}

void Tvd_SimpleDocument::CloseFile()
{
    fFileName.clear();
    fOpenedTime = 0;
    fModified = false;
}

bool Tvd_SimpleDocument::HasChangedOnDisk() const
{
    if (fFileName.empty())
        return false;
    return L1FileDateIfExists(fFileName) > fOpenedTime;
}

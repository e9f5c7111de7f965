// The main window's document tracker.
#include "browser/app/U_SimpleDocument.h"

#include "browser/support/L1basis.h"

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
    fOpenedTime = std::time(nullptr);
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

#pragma once
// The document tracker of the main window: which file is open, since when, and whether it has
// changed on disk since then.

#include <ctime>
#include <string>

class Tvd_SimpleDocument {
public:
    virtual ~Tvd_SimpleDocument() = default;

    // Stores the flag and calls ModifiedChanged when it changes.
    virtual void SetModified(bool modified);
    virtual bool GetModified() const { return fModified; }
    virtual void ModifiedChanged() {}
    // Remembers the file and the time it was opened (now); not modified.
    virtual void OpenFile(const std::string &fileName);
    virtual void CloseFile();

    // The file's last write is later than the time it was opened; a missing file never counts.
    bool HasChangedOnDisk() const;

    const std::string &FileName() const { return fFileName; }
    std::time_t OpenedTime() const { return fOpenedTime; }
    // For tests: pretend the file was opened at another time.
    void SetOpenedTime(std::time_t time) { fOpenedTime = time; }

private:
    std::string fFileName;
    std::time_t fOpenedTime = 0;
    bool fModified = false;
};

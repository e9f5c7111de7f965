#pragma once
// The browser's one persistent preference, the column width of the main window's multi-column
// lists, kept under "\Software\Vardelin\QuillmarkBrowser\Settings" between runs.

#include <string>

extern const char *const vdBrowserRegistryKey; // "\Software\Vardelin\QuillmarkBrowser"

class TQuillmarkBrowserSettings {
public:
    static constexpr int DefaultColumnWidth = 150;

    // Loads at once; saves when destroyed.
    TQuillmarkBrowserSettings();
    ~TQuillmarkBrowserSettings();
    TQuillmarkBrowserSettings(const TQuillmarkBrowserSettings &) = delete;
    TQuillmarkBrowserSettings &operator=(const TQuillmarkBrowserSettings &) = delete;

    // A missing section or value, or text that is not a number, gives 150; "0x..." is hexadecimal.
    void Load();
    // Writes the width as decimal text; raises when the store cannot be written.
    void Save() const;

    int ColumnWidth = DefaultColumnWidth;
};

// The stored text of a column width as a number: decimal, or hexadecimal after "0x"; the
// default for anything else (empty, trailing characters, out of range).
int ParseColumnWidth(const std::string &text, int defaultValue);

// The program's instance: the one created last and still alive (main creates it before the
// windows); a fallback instance that is never saved when none exists.
TQuillmarkBrowserSettings &QuillmarkBrowserSettings();

// The browser's settings object over the settings store.
#include "browser/app/U_QuillmarkBrowserSettings.h"

#include "browser/support/L1DebugWindow.h"
#include "browser/support/L1Registry.h"

#include <charconv>
#include <cstdint>

const char *const vdBrowserRegistryKey = "\\Software\\Vardelin\\QuillmarkBrowser";

namespace {
const char *const kSection = "Settings";
const char *const kColumnWidth = "ColumnWidth";
TQuillmarkBrowserSettings *gCurrent = nullptr;

std::string SectionKey() { return std::string(vdBrowserRegistryKey) + "\\" + kSection; }
} // namespace

int ParseColumnWidth(const std::string &text, int defaultValue)
{
    const char *first = text.data();
    const char *last = first + text.size();
    bool negative = false;
    if (first != last && (*first == '-' || *first == '+')) {
        negative = *first == '-';
        ++first;
    }
    int base = 10;
    if (last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) {
        base = 16;
        first += 2;
    }
    if (first == last || *first == '-' || *first == '+')
        return defaultValue;
    long long value = 0;
    auto [end, error] = std::from_chars(first, last, value, base);
    if (error != std::errc() || end != last)
        return defaultValue;
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return defaultValue;
    return static_cast<int>(value);
}

TQuillmarkBrowserSettings::TQuillmarkBrowserSettings()
{
    Load();
    gCurrent = this;
}

TQuillmarkBrowserSettings::~TQuillmarkBrowserSettings()
{
    if (gCurrent == this)
        gCurrent = nullptr;
    try {
        Save();
    } catch (const std::exception &e) {
        // A destructor cannot raise: the failure goes to the trace (the settings are merely not kept).
        DebugWindow().WriteError(std::string("The browser settings could not be saved: ") + e.what());
    }
}

void TQuillmarkBrowserSettings::Load()
{
    ColumnWidth = DefaultColumnWidth;
    TL1Registry registry;
    if (!registry.OpenKey(SectionKey(), false))
        return;
    ColumnWidth = ParseColumnWidth(registry.ReadStringDef(kColumnWidth, ""), DefaultColumnWidth);
}

void TQuillmarkBrowserSettings::Save() const
{
    TL1Registry registry;
    if (!registry.OpenKey(SectionKey(), true))
        return;
    registry.WriteString(kColumnWidth, std::to_string(ColumnWidth));
    registry.Flush();
}

TQuillmarkBrowserSettings &QuillmarkBrowserSettings()
{
    if (gCurrent)
        return *gCurrent;
    // Without a program instance (tests of single windows): one loaded from the store and never
    // saved, since it is never destroyed.
    static TQuillmarkBrowserSettings *fallback = nullptr;
    if (!fallback) {
        fallback = new TQuillmarkBrowserSettings;
        gCurrent = nullptr;
    }
    return *fallback;
}

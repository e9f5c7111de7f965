// The statistics window's values and the browser's settings in the settings store.
#include "browser/app/F_Statistics.h"
#include "browser/app/U_QuillmarkBrowserSettings.h"
#include "browser/support/L1Registry.h"
#include "browser/symbols/L1OPascalSymbolTable.h"

#include <QLabel>
#include <QLocale>

#include <gtest/gtest.h>

namespace {

// A table with the given numbers of classes, each class's members spread so the totals match.
std::unique_ptr<TL1OPascalSymbolTable> Table(int classes, int properties, int methods, int events)
{
    auto table = std::make_unique<TL1OPascalSymbolTable>("Library");
    TL1OPascalSymbolTable_Unit *unit = table->AddUnit("Unit1");
    table->AddUnit("Unit2");
    std::vector<TL1OPascalSymbolTable_Class *> all;
    for (int i = 0; i < classes; ++i)
        all.push_back(unit->AddClass("TClass" + std::to_string(i)));
    for (int i = 0; i < properties; ++i)
        all[size_t(i) % all.size()]->Properties.Add("P" + std::to_string(i));
    for (int i = 0; i < methods; ++i)
        all[size_t(i) % all.size()]->Methods.Add("M" + std::to_string(i));
    for (int i = 0; i < events; ++i)
        all[size_t(i) % all.size()]->Events.Add("E" + std::to_string(i));
    unit->AddRoutine("Routine");
    table->EnsureDenormalized();
    return table;
}

class LocaleGuard {
public:
    explicit LocaleGuard(const QLocale &locale) { QLocale::setDefault(locale); }
    ~LocaleGuard() { QLocale::setDefault(fPrevious); }

private:
    QLocale fPrevious;
};

TEST(Statistics, CountsAndAverages)
{
    LocaleGuard c(QLocale::c());
    struct Case {
        double value;
        const char *text;
    } cases[] = {{2.5, "2.5"}, {2.0 / 3.0, "0.67"}, {2.0, "2"}, {0.0, "0"}, {123456.789, "123456.79"}, {0.004, "0"}};
    for (const Case &cs : cases)
        EXPECT_EQ(FormatStatisticsValue(cs.value).toStdString(), cs.text) << cs.value;

    TfrmStatistics window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Statistics"));
    EXPECT_EQ(window.lblLibraryName->text(), QStringLiteral("lblLibraryName"));
    window.Fill("My Library", *Table(10, 25, 2, 20));
    EXPECT_EQ(window.lblLibraryName->text(), QStringLiteral("My Library"));
    EXPECT_EQ(window.lblNumUnits->text(), QStringLiteral("2"));
    EXPECT_EQ(window.lblNumRoutines->text(), QStringLiteral("1"));
    EXPECT_EQ(window.lblNumClasses->text(), QStringLiteral("10"));
    EXPECT_EQ(window.lblNumProperties->text(), QStringLiteral("25"));
    EXPECT_EQ(window.lblAvgProperties->text(), QStringLiteral("2.5"));
    EXPECT_EQ(window.lblAvgMethods->text(), QStringLiteral("0.2"));
    EXPECT_EQ(window.lblAvgEvents->text(), QStringLiteral("2"));

    // Without classes: counts, and three empty averages.
    window.Fill("Empty", *Table(0, 0, 0, 0));
    EXPECT_EQ(window.lblNumClasses->text(), QStringLiteral("0"));
    EXPECT_EQ(window.lblNumUnits->text(), QStringLiteral("2"));
    EXPECT_TRUE(window.lblAvgProperties->text().isEmpty());
    EXPECT_TRUE(window.lblAvgMethods->text().isEmpty());
    EXPECT_TRUE(window.lblAvgEvents->text().isEmpty());
}

TEST(Statistics, TheLocalesDecimalSeparator)
{
    LocaleGuard german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FormatStatisticsValue(2.5), QStringLiteral("2,5"));
    EXPECT_EQ(FormatStatisticsValue(1234.5), QStringLiteral("1234,5")); // no thousands separator
}

TEST(Settings, ColumnWidthTexts)
{
    struct Case {
        const char *text;
        int width;
    } cases[] = {{"120", 120}, {"0x78", 120}, {"0X1f", 31}, {"", 150},     {"abc", 150},
                 {"12a", 150}, {"0x", 150},   {"-5", -5},   {"99999999999", 150}, {" 120", 150}};
    for (const Case &c : cases)
        EXPECT_EQ(ParseColumnWidth(c.text, 150), c.width) << c.text;
}

TEST(Settings, StoredBetweenRuns)
{
    const std::string section = std::string(vdBrowserRegistryKey) + "\\Settings";
    {
        TL1Registry registry;
        if (registry.OpenKey(section, false))
            registry.DeleteValue("ColumnWidth");
    }
    {
        TQuillmarkBrowserSettings settings;
        EXPECT_EQ(settings.ColumnWidth, 150);
        settings.ColumnWidth = 120;
    } // saved at the end of the run
    {
        TL1Registry registry;
        ASSERT_TRUE(registry.OpenKey(section, false));
        EXPECT_EQ(registry.ReadStringDef("ColumnWidth", ""), "120");
        registry.WriteString("ColumnWidth", "0xC8");
    }
    TQuillmarkBrowserSettings next;
    EXPECT_EQ(next.ColumnWidth, 200);
}

} // namespace

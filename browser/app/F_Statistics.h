#pragma once
// The statistics window: counts of the open library's units, routines, classes and members, and
// the members per class.

#include <QDialog>

#include <string>

class QLabel;
class TL1OPascalSymbolTable;

class TfrmStatistics : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStatistics(QWidget *parent = nullptr);

    // Shows the library name and the table's counts; the averages stay empty without classes.
    void Fill(const std::string &libraryName, const TL1OPascalSymbolTable &table);

    QLabel *lblLibraryName;
    QLabel *lblNumUnits, *lblNumRoutines, *lblNumClasses, *lblNumProperties, *lblNumMethods, *lblNumEvents;
    QLabel *lblAvgProperties, *lblAvgMethods, *lblAvgEvents;
};

// A quotient as the pattern "#####0.##" shows it: at least one integer digit, at most two
// decimals, no trailing zeros or separator, the locale's decimal separator.
QString FormatStatisticsValue(double value);

// The statistics window.
#include "browser/app/F_Statistics.h"

#include "browser/symbols/L1OPascalSymbolTable.h"
#include "platform/ui/QtPrompts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

QString FormatStatisticsValue(double value)
{
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(QLatin1Char('0')) && text.contains(QLatin1Char('.')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text.replace(QLatin1Char('.'), QLocale().decimalPoint());
}

namespace {

// One caption with its right-aligned value label in a group's grid.
QLabel *AddRow(QGridLayout *grid, const QString &caption, const char *objectName, const QString &accessible)
{
    int row = grid->rowCount();
    grid->addWidget(new QLabel(caption), row, 0);
    auto *value = new QLabel;
    value->setObjectName(QLatin1String(objectName));
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setAccessibleName(accessible);
    value->setMinimumWidth(48);
    grid->addWidget(value, row, 1);
    return value;
}

QGridLayout *GroupGrid(QGroupBox *group)
{
    auto *grid = new QGridLayout(group);
    grid->setContentsMargins(8, 2, 8, 4);
    grid->setVerticalSpacing(0);
    return grid;
}

} // namespace

TfrmStatistics::TfrmStatistics(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmStatistics"));
    setWindowTitle(QStringLiteral("Statistics"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);

    lblLibraryName = new QLabel(QStringLiteral("lblLibraryName"));
    lblLibraryName->setObjectName(QStringLiteral("lblLibraryName"));
    lblLibraryName->setAccessibleName(QStringLiteral("Library name"));
    QFont nameFont(QStringLiteral("Arial"));
    nameFont.setPixelSize(21);
    nameFont.setBold(true);
    lblLibraryName->setFont(nameFont);
    QPalette navy = lblLibraryName->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 0x80));
    lblLibraryName->setPalette(navy);

    auto *numberOf = new QGroupBox(QStringLiteral("Number of"));
    QGridLayout *counts = GroupGrid(numberOf);
    lblNumUnits = AddRow(counts, QStringLiteral("Units"), "lblNumUnits", QStringLiteral("Number of units"));
    lblNumRoutines = AddRow(counts, QStringLiteral("Routines"), "lblNumRoutines", QStringLiteral("Number of routines"));
    lblNumClasses = AddRow(counts, QStringLiteral("Classes"), "lblNumClasses", QStringLiteral("Number of classes"));
    lblNumProperties =
        AddRow(counts, QStringLiteral("Properties"), "lblNumProperties", QStringLiteral("Number of properties"));
    lblNumMethods = AddRow(counts, QStringLiteral("Methods"), "lblNumMethods", QStringLiteral("Number of methods"));
    lblNumEvents = AddRow(counts, QStringLiteral("Events"), "lblNumEvents", QStringLiteral("Number of events"));

    auto *average = new QGroupBox(QStringLiteral("Average per class"));
    QGridLayout *averages = GroupGrid(average);
    lblAvgProperties = AddRow(averages, QStringLiteral("Properties"), "lblAvgProperties",
                              QStringLiteral("Average properties per class"));
    lblAvgMethods =
        AddRow(averages, QStringLiteral("Methods"), "lblAvgMethods", QStringLiteral("Average methods per class"));
    lblAvgEvents =
        AddRow(averages, QStringLiteral("Events"), "lblAvgEvents", QStringLiteral("Average events per class"));
    averages->setRowStretch(averages->rowCount(), 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    auto *right = new QVBoxLayout;
    right->addWidget(average, 1);
    right->addWidget(buttons);

    auto *groups = new QHBoxLayout;
    groups->addWidget(numberOf, 1);
    groups->addLayout(right, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 8);
    layout->setSpacing(2);
    layout->addWidget(lblLibraryName);
    layout->addLayout(groups, 1);
    setFixedSize(QSize(310, 180).expandedTo(layout->minimumSize()));
}

void TfrmStatistics::Fill(const std::string &libraryName, const TL1OPascalSymbolTable &table)
{
    lblLibraryName->setText(FromCp1252(libraryName));
    lblNumUnits->setText(QString::number(table.UnitCount()));
    lblNumClasses->setText(QString::number(table.ClassCount()));
    lblNumRoutines->setText(QString::number(table.RoutineCount()));
    lblNumProperties->setText(QString::number(table.PropertyCount()));
    lblNumMethods->setText(QString::number(table.MethodCount()));
    lblNumEvents->setText(QString::number(table.EventCount()));
    int classes = table.ClassCount();
    if (classes == 0) {
        lblAvgProperties->clear();
        lblAvgMethods->clear();
        lblAvgEvents->clear();
        return;
    }
    lblAvgProperties->setText(FormatStatisticsValue(double(table.PropertyCount()) / classes));
    lblAvgMethods->setText(FormatStatisticsValue(double(table.MethodCount()) / classes));
    lblAvgEvents->setText(FormatStatisticsValue(double(table.EventCount()) / classes));
}

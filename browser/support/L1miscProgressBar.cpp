// The status reporter on a progress bar and a status bar.

#include "browser/support/L1miscProgressBar.h"

#include "platform/ui/PanelStatusBar.h"
#include "platform/ui/QtPrompts.h"

#include <QCoreApplication>
#include <QProgressBar>

void TL1ProgressBarStatusReporter::SetProgress(int position)
{
    if (fProgressBar)
        fProgressBar->setValue(position);
}

int TL1ProgressBarStatusReporter::GetProgress() { return fProgressBar ? fProgressBar->value() : 0; }

void TL1ProgressBarStatusReporter::SetStatusBarText(const std::string &text)
{
    if (fStatusBar) {
        if (fStatusBar->SimplePanel()) {
            fStatusBar->SetSimpleText(FromCp1252(text));
        } else {
            CheckPrecondition(ActivePanel >= 0, "TL1ProgressBarStatusReporter.SetStatusBarText", "ActivePanel >= 0");
            CheckPrecondition(fStatusBar->PanelCount() > ActivePanel, "TL1ProgressBarStatusReporter.SetStatusBarText",
                              "fStatusBar.Panels.Count > ActivePanel");
            fStatusBar->SetPanelText(ActivePanel, FromCp1252(text));
        }
    }
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

std::string TL1ProgressBarStatusReporter::GetStatusBarText()
{
    if (!fStatusBar)
        return {};
    if (fStatusBar->SimplePanel())
        return ToCp1252(fStatusBar->SimpleText());
    CheckPrecondition(ActivePanel >= 0, "TL1ProgressBarStatusReporter.GetStatusBarText", "ActivePanel >= 0");
    CheckPrecondition(fStatusBar->PanelCount() > ActivePanel, "TL1ProgressBarStatusReporter.GetStatusBarText",
                      "fStatusBar.Panels.Count > ActivePanel");
    return ToCp1252(fStatusBar->PanelText(ActivePanel));
}

void TL1ProgressBarStatusReporter::SetTaskText(const std::string &text)
{
    fTaskText = text;
    SetStatusBarText(text);
}

void TL1ProgressBarStatusReporter::BeginTask(int stepCount)
{
    SetProgressMax(stepCount);
    fSavedStatusText = GetStatusBarText();
    SetStatusBarText(GetTaskText());
}

void TL1ProgressBarStatusReporter::EndTask()
{
    SetStatusBarText(fSavedStatusText);
    SetProgress(0);
}

void TL1ProgressBarStatusReporter::SetProgressMax(int stepCount)
{
    if (fProgressBar)
        fProgressBar->setMaximum(stepCount - 1);
}

TL1ProgressBarStatusReporter &ProgressBarStatusReporter()
{
    static TL1ProgressBarStatusReporter reporter;
    return reporter;
}

ProgressBarReporterInstallation::ProgressBarReporterInstallation(QProgressBar *progressBar, PanelStatusBar *statusBar)
{
    TL1ProgressBarStatusReporter &reporter = ProgressBarStatusReporter();
    reporter.SetProgressBar(progressBar);
    reporter.SetStatusBar(statusBar);
    fPrevious = SetCurrentStatusReporter(&reporter);
}

ProgressBarReporterInstallation::~ProgressBarReporterInstallation()
{
    SetCurrentStatusReporter(fPrevious);
    ProgressBarStatusReporter().SetProgressBar(nullptr);
    ProgressBarStatusReporter().SetStatusBar(nullptr);
}

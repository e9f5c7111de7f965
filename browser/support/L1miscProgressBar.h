#pragma once
// The status reporter that shows progress on a progress bar and texts on a status bar.

#include "browser/support/L1basis.h"

class QProgressBar;
class PanelStatusBar;

class TL1ProgressBarStatusReporter : public TL1StatusReporter {
public:
    TL1ProgressBarStatusReporter(QProgressBar *progressBar = nullptr, PanelStatusBar *statusBar = nullptr)
        : fProgressBar(progressBar), fStatusBar(statusBar)
    {
    }

    void SetProgress(int position) override;
    void SetStatusBarText(const std::string &text) override;
    int GetProgress() override;
    void SetTaskText(const std::string &text) override;
    std::string GetTaskText() override { return fTaskText; }
    std::string GetStatusBarText() override;
    void BeginTask(int stepCount) override;
    void EndTask() override;
    virtual void SetProgressMax(int stepCount);

    int ActivePanel = 0;
    void SetProgressBar(QProgressBar *bar) { fProgressBar = bar; }
    void SetStatusBar(PanelStatusBar *bar) { fStatusBar = bar; }

private:
    QProgressBar *fProgressBar;
    PanelStatusBar *fStatusBar;
    std::string fSavedStatusText;
    std::string fTaskText;
};

// The program-wide instance, created without bars.
TL1ProgressBarStatusReporter &ProgressBarStatusReporter();

// Kept by the window that owns the bars: for its lifetime the program-wide progress-bar reporter
// shows on them and is the current reporter. Afterwards the previous reporter is current again
// and the reporter lets go of the bars, so it never points at a window that is gone.
class ProgressBarReporterInstallation {
public:
    ProgressBarReporterInstallation(QProgressBar *progressBar, PanelStatusBar *statusBar);
    ~ProgressBarReporterInstallation();
    ProgressBarReporterInstallation(const ProgressBarReporterInstallation &) = delete;
    ProgressBarReporterInstallation &operator=(const ProgressBarReporterInstallation &) = delete;

private:
    TL1StatusReporter *fPrevious;
};

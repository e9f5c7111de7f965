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

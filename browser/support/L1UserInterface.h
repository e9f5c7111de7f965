#pragma once
// Installs the Qt implementations of the support layer's user-facing services for a GUI program:
// message boxes, the hourglass for the wait cursor and the D-Bus trace service (the trace client then
// takes the application's title as its application name). The plain status reporter stays the
// current one: the window that owns a progress bar installs the progress-bar reporter
// (ProgressBarReporterInstallation, L1miscProgressBar.h).

class QWidget;

void L1InstallQtServices(QWidget *dialogParent = nullptr);

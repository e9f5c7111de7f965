#pragma once
// Installs the Qt implementations of the support layer's user-facing services for a GUI program:
// message boxes, the hourglass for the wait cursor, the D-Bus trace service (the trace client then
// takes the application's title as its application name) and the progress-bar status reporter as
// the current reporter.

class QWidget;

void L1InstallQtServices(QWidget *dialogParent = nullptr);

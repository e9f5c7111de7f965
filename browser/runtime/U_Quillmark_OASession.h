#pragma once
// A console program's use of the automation link: while an object of this class lives, automation
// wrappers reach their objects over the session bus. The D-Bus target defines it, so a program
// that links that target gets the bus without including anything of Qt.

#include <memory>

class TAutomationBusSession {
public:
    TAutomationBusSession();
    ~TAutomationBusSession();
    TAutomationBusSession(const TAutomationBusSession &) = delete;
    TAutomationBusSession &operator=(const TAutomationBusSession &) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> fImpl;
};

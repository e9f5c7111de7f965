#pragma once
// The browser's application object: its default handler shows an exception's message in an
// error box and goes on (a silent abort shows nothing).

#include <QApplication>

#include <exception>
#include <functional>
#include <string>

class TQuillmarkApplication : public QApplication {
public:
    TQuillmarkApplication(int &argc, char **argv);
    // Exceptions escaping an event handler end here instead of ending the program.
    bool notify(QObject *receiver, QEvent *event) override;
};

// Shows the exception as the application's default handler does.
void ShowApplicationException(const std::exception &e);
// Runs an action as a handler of a user's command: an exception goes to the error box.
void RunGuarded(const std::function<void()> &action);
// Replaces the error box (tests record the messages); an empty function restores the box.
void SetErrorBoxHook(std::function<void(const std::string &message)> hook);

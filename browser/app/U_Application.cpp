// The application object and its default exception handler.
#include "browser/app/U_Application.h"

#include "platform/core/Exception.h"
#include "platform/ui/QtPrompts.h"

#include <QMessageBox>

namespace {
std::function<void(const std::string &)> &ErrorBoxHook()
{
    static std::function<void(const std::string &)> hook;
    return hook;
}
} // namespace

TQuillmarkApplication::TQuillmarkApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TQuillmarkApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        ShowApplicationException(e);
    } catch (...) {
        ShowApplicationException(Exception("Unknown exception."));
    }
    return false;
}

void ShowApplicationException(const std::exception &e)
{
    if (dynamic_cast<const EAbort *>(&e))
        return;
    std::string message = e.what();
    if (ErrorBoxHook()) {
        ErrorBoxHook()(message);
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                          FromCp1252(message));
}

void RunGuarded(const std::function<void()> &action)
{
    try {
        action();
    } catch (const std::exception &e) {
        ShowApplicationException(e);
    }
}

void SetErrorBoxHook(std::function<void(const std::string &)> hook) { ErrorBoxHook() = std::move(hook); }

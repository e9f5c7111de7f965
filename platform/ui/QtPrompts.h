#pragma once
// Message boxes and the wait cursor through Qt.

#include "platform/core/Prompts.h"

class QWidget;

class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget *parent = nullptr) : fParent(parent) {}
    void Information(const std::string &text) override;
    bool ConfirmOkCancel(const std::string &text) override;
    PromptAnswer AskYesNoCancel(const std::string &text) override;

private:
    QWidget *fParent;
};

// Shows or removes the application's override (hourglass) cursor.
void SetBusyCursor(bool busy);

// Converts an 8-bit CR LF text for display.
class QString;
QString FromCp1252(const std::string &text);
std::string ToCp1252(const QString &text);

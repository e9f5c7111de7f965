#include "platform/ui/QtPrompts.h"

#include "platform/text/Windows1252.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

QString FromCp1252(const std::string &text)
{
    std::u16string u = text::Cp1252ToUtf16(text);
    return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size())).remove(QLatin1Char('\r'));
}

std::string ToCp1252(const QString &text)
{
    return text::Utf16ToCp1252(std::u16string(reinterpret_cast<const char16_t *>(text.utf16()), text.size()));
}

void QtPrompts::Information(const std::string &text)
{
    QMessageBox::information(fParent, QGuiApplication::applicationDisplayName(), FromCp1252(text));
}

bool QtPrompts::ConfirmOkCancel(const std::string &text)
{
    return QMessageBox::question(fParent, QGuiApplication::applicationDisplayName(), FromCp1252(text),
                                 QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok;
}

PromptAnswer QtPrompts::AskYesNoCancel(const std::string &text)
{
    auto answer = QMessageBox::question(fParent, QGuiApplication::applicationDisplayName(), FromCp1252(text),
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    switch (answer) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    default:
        return PromptAnswer::Cancel;
    }
}

void SetBusyCursor(bool busy)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
}

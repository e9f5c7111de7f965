#pragma once
// A scripted user for the editor's tests: answers questions, names files and runs dialogs from
// queues and a callback, and records every error shown.

#include "ornamo/uCommon.h"
#include "ornamo/uMain.h"

#include <QDialog>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace ornamo {

class TScriptedUI : public TUserInterface {
public:
    TScriptedUI() { fPrevious = InstallUI(this); }
    ~TScriptedUI() override { InstallUI(fPrevious); }

    std::deque<TAnswer> Answers;     // Cancel when empty
    std::deque<bool> Confirmations;  // No when empty
    std::deque<QString> FileNames;   // cancelled when empty
    QStringList Questions, Errors;
    // Runs each dialog; rejects it when unset.
    std::function<int(QDialog &)> OnExec;

    TAnswer AskYesNoCancel(QWidget *, const QString &Text) override
    {
        Questions << Text;
        return Pop(Answers, TAnswer::Cancel);
    }
    bool ConfirmYesNo(QWidget *, const QString &Text) override
    {
        Questions << Text;
        return Pop(Confirmations, false);
    }
    void Error(QWidget *, const QString &Text) override { Errors << Text; }
    QString OpenFileName(QWidget *, const QString &, const QString &, const QString &, const QString &) override
    {
        return Pop(FileNames, QString());
    }
    QString SaveFileName(QWidget *, const QString &, const QString &, const QString &, const QString &) override
    {
        return Pop(FileNames, QString());
    }
    int Exec(QDialog &Dialog) override { return OnExec ? OnExec(Dialog) : QDialog::Rejected; }

private:
    template <typename T> static T Pop(std::deque<T> &q, T fallback)
    {
        if (q.empty())
            return fallback;
        T v = q.front();
        q.pop_front();
        return v;
    }
    TUserInterface *fPrevious;
};

inline QString TemplatePath() { return QStringLiteral(VD_SOURCE_DIR "/samples/Template.SLB"); }

// The node reached from the root by child texts, or none.
inline QTreeWidgetItem *NodeByTexts(const TfrmMain &Main, const QStringList &Texts)
{
    QTreeWidgetItem *node = Main.tvLibrary->topLevelItem(0);
    for (const QString &text : Texts) {
        QTreeWidgetItem *next = nullptr;
        for (int i = 0; node && i < node->childCount(); ++i)
            if (node->child(i)->text(0) == text)
                next = node->child(i);
        node = next;
    }
    return node;
}

// Every node text, depth first, indented by level: the tree as the user sees it.
inline QStringList TreeTexts(const TfrmMain &Main)
{
    QStringList texts;
    std::function<void(QTreeWidgetItem *, int)> walk = [&](QTreeWidgetItem *n, int level) {
        texts << QString(level * 2, ' ') + n->text(0);
        for (int i = 0; i < n->childCount(); ++i)
            walk(n->child(i), level + 1);
    };
    for (int i = 0; i < Main.tvLibrary->topLevelItemCount(); ++i)
        walk(Main.tvLibrary->topLevelItem(i), 0);
    return texts;
}

} // namespace ornamo

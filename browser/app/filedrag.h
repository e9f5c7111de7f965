#pragma once
// A drop target for local files on a window: the names of the last drop, with and without
// their folder, and their extensions.

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class QDropEvent;
class QWidget;

class TFileDrag : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool EnableDrop READ EnableDrop WRITE SetEnableDrop)
public:
    // Attaches to the owner when it is a widget; otherwise dropping stays off.
    explicit TFileDrag(QObject *owner);

    bool EnableDrop() const { return fEnableDrop; }
    void SetEnableDrop(bool on);

    // Takes the local files of a drop (as the owner's drop event does) and raises OnDrop.
    void Drop(const QStringList &fileNames);

    int FileCount = 0;
    QStringList NameWithPath; // full file names, in drop order
    QStringList NameOnly;     // after the last folder separator
    QStringList Extension;    // after the last dot of the name, without it; empty without a dot
    std::function<void(TFileDrag *sender)> OnDrop;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> fOwner;
    bool fEnableDrop = false;
};

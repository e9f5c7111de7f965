// Dropping local files on a window.
#include "browser/app/filedrag.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {
QStringList LocalFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    return files;
}
} // namespace

TFileDrag::TFileDrag(QObject *owner) : QObject(owner), fOwner(qobject_cast<QWidget *>(owner))
{
    if (fOwner)
        fOwner->installEventFilter(this);
}

void TFileDrag::SetEnableDrop(bool on)
{
    fEnableDrop = on && fOwner;
    if (fOwner)
        fOwner->setAcceptDrops(fEnableDrop);
}

void TFileDrag::Drop(const QStringList &fileNames)
{
    NameWithPath.clear();
    NameOnly.clear();
    Extension.clear();
    for (const QString &path : fileNames) {
        NameWithPath.append(path);
        QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        NameOnly.append(name);
        int dot = name.lastIndexOf(QLatin1Char('.'));
        Extension.append(dot < 0 ? QString() : name.mid(dot + 1));
    }
    FileCount = NameWithPath.size();
    if (OnDrop)
        OnDrop(this);
}

bool TFileDrag::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != fOwner || !fEnableDrop)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (LocalFiles(drag->mimeData()).isEmpty())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        QStringList files = LocalFiles(drop->mimeData());
        if (files.isEmpty())
            return false;
        drop->acceptProposedAction();
        Drop(files);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

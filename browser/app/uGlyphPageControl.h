#pragma once
// A page control whose tabs show images from an image list; the tabs follow the list when its
// images change.

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTabWidget>

// A list of images shared by controls; tells them when it changes.
class TImageList : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    int Count() const { return int(fImages.size()); }
    QIcon Image(int index) const { return index >= 0 && index < Count() ? fImages[index] : QIcon(); }
    void Add(const QIcon &image);
    void Replace(int index, const QIcon &image);
    void Clear();

signals:
    void Changed();

private:
    QList<QIcon> fImages;
};

class TGlyphPageControl : public QTabWidget {
    Q_OBJECT
public:
    explicit TGlyphPageControl(QWidget *parent = nullptr);

    TImageList *Images() const { return fImages; }
    void SetImages(TImageList *images);

    // Shows image imageIndex of the list on tab tabIndex (-1: none) and repaints.
    void SetTabImage(int tabIndex, int imageIndex);
    // The image index last set on a tab; -1 when none.
    int TabImage(int tabIndex) const;

private:
    void ImagesChanged();

    QPointer<TImageList> fImages;
};

// The two tab marks of the browser: image 0 an empty tab, image 1 a tab with entries.
enum { vdTabEmpty = 0, vdTabFilled = 1 };
// The browser's mark images, drawn once.
TImageList *TabMarkImages();

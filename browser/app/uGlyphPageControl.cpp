// Page control with tab images, and the browser's tab marks.
#include "browser/app/uGlyphPageControl.h"

#include <QPainter>
#include <QPixmap>
#include <QTabBar>

namespace {
const char *const kImageIndex = "vdImageIndex";
}

void TImageList::Add(const QIcon &image)
{
    fImages.append(image);
    emit Changed();
}

void TImageList::Replace(int index, const QIcon &image)
{
    if (index < 0 || index >= Count())
        return;
    fImages[index] = image;
    emit Changed();
}

void TImageList::Clear()
{
    fImages.clear();
    emit Changed();
}

TGlyphPageControl::TGlyphPageControl(QWidget *parent) : QTabWidget(parent) {}

void TGlyphPageControl::SetImages(TImageList *images)
{
    if (fImages)
        disconnect(fImages, nullptr, this, nullptr);
    fImages = images;
    if (fImages) {
        connect(fImages, &TImageList::Changed, this, &TGlyphPageControl::ImagesChanged);
        connect(fImages, &QObject::destroyed, this, &TGlyphPageControl::ImagesChanged);
    }
    ImagesChanged();
}

void TGlyphPageControl::SetTabImage(int tabIndex, int imageIndex)
{
    if (tabIndex < 0 || tabIndex >= count())
        return;
    widget(tabIndex)->setProperty(kImageIndex, imageIndex);
    setTabIcon(tabIndex, fImages ? fImages->Image(imageIndex) : QIcon());
    tabBar()->update();
}

int TGlyphPageControl::TabImage(int tabIndex) const
{
    if (tabIndex < 0 || tabIndex >= count())
        return -1;
    QVariant v = widget(tabIndex)->property(kImageIndex);
    return v.isValid() ? v.toInt() : -1;
}

void TGlyphPageControl::ImagesChanged()
{
    for (int i = 0; i < count(); ++i)
        setTabIcon(i, fImages ? fImages->Image(TabImage(i)) : QIcon());
}

TImageList *TabMarkImages()
{
    static TImageList *images = [] {
        auto *list = new TImageList;
        auto draw = [](bool filled) {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter p(&pixmap);
            p.setRenderHint(QPainter::Antialiasing);
            if (filled) {
                p.setPen(QPen(QColor(0x1f, 0x5f, 0x1f), 1));
                p.setBrush(QColor(0x3c, 0xa0, 0x3c));
            } else {
                p.setPen(QPen(QColor(0x90, 0x90, 0x90), 1.2));
                p.setBrush(Qt::NoBrush);
            }
            p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
            return QIcon(pixmap);
        };
        list->Add(draw(false));
        list->Add(draw(true));
        return list;
    }();
    return images;
}

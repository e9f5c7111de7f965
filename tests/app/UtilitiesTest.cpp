// The window utilities: recent files, dropped files, tab images and the gradient caption band.
#include "browser/app/GradForm.h"
#include "browser/app/MRUList.h"
#include "browser/app/filedrag.h"
#include "browser/app/uGlyphPageControl.h"
#include "platform/ui/Settings.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QStringList Captions(QWidget *menu)
{
    QStringList captions;
    for (QAction *a : menu->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return captions;
}

QStringList Numbered(int count)
{
    QStringList files;
    for (int i = 1; i <= count; ++i)
        files << QStringLiteral("/data/file%1.qmk").arg(i);
    return files;
}

struct MenuFixture {
    QMenuBar bar;
    QMenu *file = bar.addMenu(QStringLiteral("File"));
    TMRUFileList mru;
    MenuFixture()
    {
        file->addAction(QStringLiteral("Open..."));
        file->addAction(QStringLiteral("Exit"));
        mru.AutoSave = false;
        mru.SetMaximum(9);
        mru.SetFileMenu(file);
    }
};

TEST(RecentFiles, OrderMaximumAndMenuEntries)
{
    MenuFixture f;
    for (const QString &name : Numbered(4))
        f.mru.AddFile(name);
    EXPECT_EQ(f.mru.Files(), (QStringList{"/data/file4.qmk", "/data/file3.qmk", "/data/file2.qmk", "/data/file1.qmk"}));

    // The third entry, in other letter case, moves to the top; the count stays.
    f.mru.AddFile(QStringLiteral("/DATA/FILE2.QMK"));
    EXPECT_EQ(f.mru.Files().size(), 4);
    EXPECT_EQ(f.mru.Files().front(), QStringLiteral("/data/file2.qmk"));

    for (const QString &name : Numbered(10))
        f.mru.AddFile(name);
    EXPECT_EQ(f.mru.Files().size(), 9);
    EXPECT_EQ(f.mru.Files().front(), QStringLiteral("/data/file10.qmk"));
    EXPECT_FALSE(f.mru.Files().contains(QStringLiteral("/data/file1.qmk")));

    // Entries at the end of the file menu after one separator, rebuilt without piling up.
    QStringList captions = Captions(f.file);
    ASSERT_EQ(captions.size(), 2 + 1 + 9);
    EXPECT_EQ(captions.mid(0, 3), (QStringList{"Open...", "Exit", "-"}));
    EXPECT_EQ(captions[3], QStringLiteral("&1 /data/file10.qmk"));
    EXPECT_EQ(captions[11], QStringLiteral("&9 /data/file2.qmk"));

    f.mru.SetMaximum(3);
    EXPECT_EQ(f.mru.Files(), (QStringList{"/data/file10.qmk", "/data/file9.qmk", "/data/file8.qmk"}));
    EXPECT_EQ(Captions(f.file).size(), 2 + 1 + 3);

    f.mru.SetInsertSeparator(false);
    f.mru.SetUseSubmenu(true);
    captions = Captions(f.file);
    ASSERT_EQ(captions.size(), 3);
    EXPECT_EQ(captions[2], QStringLiteral("Reopen"));
    EXPECT_EQ(Captions(f.file->actions()[2]->menu()).size(), 3);
}

TEST(RecentFiles, ClickRaisesTheEventAndRemovesOnlyWhenAsked)
{
    MenuFixture f;
    f.mru.AddFile(QStringLiteral("/a.qmk"));
    f.mru.AddFile(QStringLiteral("/b.qmk"));
    QString clicked;
    f.mru.OnMRUItemClick = [&](QAction *, const QString &name) { clicked = name; };
    f.mru.RemoveOnClick = false;
    f.file->actions().back()->trigger(); // "&2 /a.qmk"
    EXPECT_EQ(clicked, QStringLiteral("/a.qmk"));
    EXPECT_EQ(f.mru.Files().size(), 2);
    f.mru.RemoveOnClick = true;
    f.mru.ClickEntry(1);
    EXPECT_EQ(clicked, QStringLiteral("/b.qmk"));
    EXPECT_EQ(f.mru.Files(), QStringList{"/a.qmk"});
}

TEST(RecentFiles, EntriesGoBesideAMenuWithoutItems)
{
    QMenu top;
    top.addAction(QStringLiteral("Before"));
    QMenu *empty = top.addMenu(QStringLiteral("Recent"));
    top.addAction(QStringLiteral("After"));
    TMRUFileList mru;
    mru.AutoSave = false;
    mru.SetFileMenu(empty);
    mru.AddFile(QStringLiteral("/x.qmk"));
    EXPECT_EQ(Captions(&top), (QStringList{"Before", "-", "&1 /x.qmk", "Recent", "After"}));
    mru.AddFile(QStringLiteral("/y & z.qmk"));
    EXPECT_EQ(Captions(&top).size(), 6);
    EXPECT_EQ(Captions(&top)[2], QStringLiteral("&1 /y && z.qmk"));
}

TEST(RecentFiles, SavedAsNumberedValuesAndLoadedInTheirOrder)
{
    const QString key = QStringLiteral("\\Software\\Vardelin\\RecentFilesTest");
    {
        QMenu file;
        file.addAction(QStringLiteral("Exit"));
        TMRUFileList mru;
        mru.AutoSaveName = key;
        mru.SetMaximum(12);
        mru.SetFileMenu(&file);
        mru.Loaded();
        for (const QString &name : Numbered(11))
            mru.AddFile(name);
    } // saved when destroyed
    auto settings = OpenSettings((key + QStringLiteral("\\MRU Items")).toStdString());
    EXPECT_EQ(settings->value(QStringLiteral("F0")).toString(), QStringLiteral("/data/file11.qmk"));
    EXPECT_EQ(settings->value(QStringLiteral("F10")).toString(), QStringLiteral("/data/file1.qmk"));

    QMenu file;
    file.addAction(QStringLiteral("Exit"));
    TMRUFileList mru;
    mru.AutoSaveName = key;
    mru.SetMaximum(12);
    mru.SetFileMenu(&file);
    mru.Loaded();
    ASSERT_EQ(mru.Files().size(), 11);
    EXPECT_EQ(mru.Files()[2], QStringLiteral("/data/file9.qmk")); // "F2" after "F1", not "F10"
    EXPECT_EQ(Captions(&file).size(), 1 + 1 + 11);

    // A list that was never loaded does not wipe what is stored.
    { TMRUFileList unloaded; unloaded.AutoSaveName = key; }
    EXPECT_EQ(OpenSettings((key + QStringLiteral("\\MRU Items")).toStdString())->childKeys().size(), 11);
}

TEST(FileDrop, NamesAndExtensionsOfTheLastDrop)
{
    QWidget owner;
    TFileDrag drag(&owner);
    drag.SetEnableDrop(true);
    EXPECT_TRUE(owner.acceptDrops());
    int drops = 0;
    drag.OnDrop = [&](TFileDrag *) { ++drops; };

    // Through the window's own drop event.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/lib.v2.QMK")), QUrl::fromLocalFile(QStringLiteral("/tmp/README")),
                  QUrl(QStringLiteral("https://example.org/remote.qmk")), QUrl::fromLocalFile(QStringLiteral("/tmp/.hidden"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&owner, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&owner, &drop);
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(drag.FileCount, 3);
    EXPECT_EQ(drag.NameWithPath, (QStringList{"/tmp/lib.v2.QMK", "/tmp/README", "/tmp/.hidden"}));
    EXPECT_EQ(drag.NameOnly, (QStringList{"lib.v2.QMK", "README", ".hidden"}));
    EXPECT_EQ(drag.Extension, (QStringList{"QMK", "", "hidden"}));

    drag.SetEnableDrop(false);
    EXPECT_FALSE(owner.acceptDrops());
    QCoreApplication::sendEvent(&owner, &drop);
    EXPECT_EQ(drops, 1);

    TFileDrag unowned(nullptr);
    unowned.SetEnableDrop(true);
    EXPECT_FALSE(unowned.EnableDrop());
}

TEST(GlyphPageControl, TabImagesFollowTheImageList)
{
    TImageList images;
    QPixmap red(16, 16), blue(16, 16);
    red.fill(Qt::red);
    blue.fill(Qt::blue);
    images.Add(QIcon(red));
    TGlyphPageControl tabs;
    tabs.addTab(new QLabel, QStringLiteral("One"));
    tabs.addTab(new QLabel, QStringLiteral("Two"));
    tabs.SetImages(&images);
    tabs.SetTabImage(1, 0);
    EXPECT_TRUE(tabs.tabIcon(0).isNull());
    EXPECT_EQ(tabs.tabIcon(1).pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::red));
    images.Replace(0, QIcon(blue));
    EXPECT_EQ(tabs.tabIcon(1).pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::blue));
    tabs.SetTabImage(1, 5); // no such image
    EXPECT_TRUE(tabs.tabIcon(1).isNull());
}

TEST(GradientCaption, BandsFromBlackToTheHighlightColour)
{
    TGradientForm form;
    QPalette palette = form.palette();
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(0, 84, 227));
    palette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(122, 150, 223));
    form.setPalette(palette);
    EXPECT_EQ(form.GradientColors(), 64);
    form.SetGradientColors(8);
    form.SetGradientColors(4);
    form.SetGradientColors(300);
    EXPECT_EQ(form.GradientColors(), 8);
    const QVector<QColor> &active = form.ActiveColors();
    ASSERT_EQ(active.size(), 8);
    EXPECT_EQ(active.front(), QColor(0, 0, 0));
    EXPECT_EQ(active[3], QColor(0, 36, 97)); // 3 * 84 / 7 = 36, 3 * 227 / 7 = 97.29
    EXPECT_EQ(active.back(), QColor(0, 84, 227));
    EXPECT_EQ(form.InactiveColors().back(), QColor(122, 150, 223));

    // What is painted: eight bands of equal width (the form is not active, so the inactive table).
    form.resize(400, 200);
    QWidget *band = form.CaptionBand();
    band->resize(400, band->height());
    QImage image = band->grab().toImage();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(image.pixelColor(i * 50 + 25, 1), form.InactiveColors()[i]) << i;

    form.SetPaintGradient(gfpNever);
    EXPECT_TRUE(band->isHidden());
}

} // namespace

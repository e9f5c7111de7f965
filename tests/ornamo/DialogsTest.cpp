// The property dialogs: Cancel changes nothing, OK copies every field back, the data entry split
// and join, the template choice, the alignment rules, and an accessible name on every control.

#include "OrnamoTestUtil.h"

#include "kavgraph/KVObjsBox.h"
#include "ornamo/uEdgeStyleProps.h"
#include "ornamo/uEnterData.h"
#include "ornamo/uItemProps.h"
#include "ornamo/uLibraryProps.h"
#include "ornamo/uPenBrush.h"
#include "ornamo/uPreviewSettings.h"
#include "ornamo/uSelectTemplate.h"
#include "ornamo/uVertexStyleProps.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUndoStack>

#include <memory>

namespace ornamo {
namespace {

// Types into every field of a dialog and flips every check box and list.
void ScribbleOver(QDialog &d)
{
    for (QLineEdit *e : d.findChildren<QLineEdit *>())
        if (!qobject_cast<QSpinBox *>(e->parent()))
            e->setText("scribbled");
    for (QSpinBox *s : d.findChildren<QSpinBox *>())
        s->setValue(s->minimum() + 9);
    for (QCheckBox *c : d.findChildren<QCheckBox *>())
        c->toggle();
    for (QComboBox *c : d.findChildren<QComboBox *>())
        c->setCurrentIndex((c->currentIndex() + 1) % c->count());
    for (QPlainTextEdit *t : d.findChildren<QPlainTextEdit *>())
        t->setPlainText("scribbled");
}

class DialogsTest : public testing::Test {
protected:
    void SetUp() override
    {
        Main = std::make_unique<TfrmMain>(TemplatePath());
        QFile::copy(TemplatePath(), fDir.filePath("lib.slb"));
        QFile::setPermissions(fDir.filePath("lib.slb"), QFile::ReadOwner | QFile::WriteOwner);
        ASSERT_TRUE(Main->OpenFile(fDir.filePath("lib.slb")));
    }
    void TearDown() override { Main->UndoStack->setClean(); }

    TScriptedUI UI;
    QTemporaryDir fDir;
    std::unique_ptr<TfrmMain> Main;
};

const QStringList EditedNodes[] = {
    {},
    {"Vertex Styles", "Texts"},
    {"Edge Styles", "Labelled"},
    {"Vertex Styles", "Shapes", "Draw Items", "Ellipse"},
    {"Vertex Styles", "Texts", "Data Items", "Lines"},
    {"Vertex Styles", "Pictures", "Bitmap Items", "Disc"},
};

TEST_F(DialogsTest, CancelInAnyDialogChangesNothing)
{
    for (const QStringList &path : EditedNodes) {
        SCOPED_TRACE(path.join('/').toStdString());
        Main->SelectNode(NodeByTexts(*Main, path));
        const std::string before = Main->Snapshot();
        const QStringList tree = TreeTexts(*Main);
        QString caption;
        UI.OnExec = [&caption](QDialog &d) {
            caption = d.windowTitle();
            ScribbleOver(d);
            return QDialog::Rejected;
        };
        Main->EditNode();
        EXPECT_FALSE(caption.isEmpty());
        EXPECT_EQ(Main->Snapshot(), before);
        EXPECT_EQ(TreeTexts(*Main), tree);
        EXPECT_FALSE(Main->Modified());
        EXPECT_EQ(Main->UndoStack->count(), 0);
    }
}

TEST_F(DialogsTest, OkInAnyDialogCopiesTheFieldsBack)
{
    // Items first: renaming a style changes the paths below it.
    for (const QStringList &path : std::vector<QStringList>(std::rbegin(EditedNodes), std::rend(EditedNodes))) {
        SCOPED_TRACE(path.join('/').toStdString());
        QTreeWidgetItem *node = NodeByTexts(*Main, path);
        ASSERT_TRUE(node);
        Main->SelectNode(node);
        const std::string before = Main->Snapshot();
        UI.OnExec = [](QDialog &d) {
            ScribbleOver(d);
            return QDialog::Accepted;
        };
        Main->EditNode();
        EXPECT_NE(Main->Snapshot(), before);
        EXPECT_EQ(Main->CurrentNode()->text(0), "scribbled");
        EXPECT_TRUE(Main->Modified());
    }
    const TKVDataItem &data = *Main->SL().VertexStyles[2]->DataItems[3];
    EXPECT_EQ(data.Text, "scribbled");
    EXPECT_EQ(data.WrapMagic, "scribbled");
    EXPECT_FALSE(data.WordWrap);
    EXPECT_EQ(data.TextAlign, 0); // centred, the next entry wraps to left
    EXPECT_EQ(data.CoordMode, cmValue);
    const TKVEdgeStyle &edge = *Main->SL().EdgeStyles[3];
    EXPECT_EQ(edge.Data, "scribbled");
    EXPECT_FALSE(edge.TextBoxVisible);
    EXPECT_TRUE(edge.SourceArrow);
    EXPECT_EQ(edge.DrawConnection, dclSelected);
    const TKVBitmapItem &bitmap = *Main->SL().VertexStyles[3]->BitmapItems[0];
    EXPECT_FALSE(bitmap.LockAspectRatio);
    EXPECT_EQ(bitmap.Bitmap.Width(), 16); // the picture stays
    EXPECT_EQ(Main->SL().VertexStyles[2]->Width, 17);
    EXPECT_EQ(Main->SL().LibraryName, "scribbled");
}

TEST_F(DialogsTest, PenAndBrushReachTheItemOnlyWhenBothDialogsEndWithOk)
{
    TKVDrawItem item;
    item.Pen = TPen{clRed, psDash, 1};
    for (bool outerOk : {false, true}) {
        TfrmDrawItemProps dialog(nullptr, item, Main->TemplateLib);
        UI.OnExec = [](QDialog &d) {
            auto &pen = static_cast<TfrmCreatePen &>(d);
            pen.edWidth->setValue(3);
            pen.cbStyle->setCurrentIndex(psInsideFrame);
            return QDialog::Accepted;
        };
        dialog.btPen->click();
        EXPECT_EQ(dialog.shPreview->Pen.Width, 3);
        if (outerOk)
            dialog.Apply(item);
        EXPECT_EQ(item.Pen, outerOk ? (TPen{clRed, psInsideFrame, 3}) : (TPen{clRed, psDash, 1}));
    }
    // A cancelled brush dialog leaves the preview's brush.
    TfrmDataItemProps data(nullptr, TKVDataItem{});
    UI.OnExec = [](QDialog &d) {
        static_cast<TfrmCreateBrush &>(d).cbStyle->setCurrentIndex(bsCross);
        return QDialog::Rejected;
    };
    data.btBrush->click();
    TKVDataItem out;
    data.Apply(out);
    EXPECT_EQ(out.Brush, TBrush{});
}

TEST(EnterData, SplitsAndJoinsOnTheWrapMarker)
{
    struct Case {
        std::string text, magic;
        bool wrap;
        QStringList lines;
    } cases[] = {
        {"one|two|three", "|", true, {"one", "two", "three"}},
        {"one|two|three", "|", false, {"one|two|three"}},
        {"one|two", "", true, {"one|two"}},
        {"a<br><br>b<br>", "<br>", true, {"a", "", "b", ""}},
        {"", "|", true, {""}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SplitData(c.text, c.magic, c.wrap), c.lines);
        EXPECT_EQ(JoinData(c.lines, c.magic, c.wrap), c.wrap && !c.magic.empty() ? c.text : c.lines[0].toStdString());
    }
    // Three typed lines: joined by two markers with word wrap, only the first without.
    const QStringList typed{"alpha", "beta", "gamma"};
    EXPECT_EQ(JoinData(typed, "|", true), "alpha|beta|gamma");
    EXPECT_EQ(JoinData(typed, "|", false), "alpha");

    TScriptedUI ui;
    ui.OnExec = [](QDialog &d) {
        static_cast<TfrmEnterData &>(d).edData->setPlainText("alpha\nbeta\ngamma");
        return QDialog::Accepted;
    };
    TKVDataItem item;
    item.WordWrap = true;
    item.WrapMagic = "//";
    TfrmDataItemProps dialog(nullptr, item);
    dialog.btData->click();
    EXPECT_EQ(dialog.edData->text(), "alpha//beta//gamma");
    dialog.cbWordWrap->setChecked(false);
    EXPECT_FALSE(dialog.edMagic->isEnabled());
    dialog.btData->click();
    EXPECT_EQ(dialog.edData->text(), "alpha");
}

TEST_F(DialogsTest, SampleTextShowsThePangramForEmptyData)
{
    TfrmDataItemProps dialog(nullptr, TKVDataItem{});
    EXPECT_EQ(dialog.txSample->Shown(), "The quick brown fox jumps over the lazy dog");
    dialog.edData->setText("Name");
    EXPECT_EQ(dialog.txSample->Shown(), "Name");
    dialog.cbAlign->setCurrentIndex(2);
    EXPECT_EQ(dialog.txSample->Alignment, 2);
}

TEST_F(DialogsTest, TemplateOkOnlyForADrawItemAndItsSettingsAreTaken)
{
    TfrmSelectTemplate forDraw(nullptr, Main->TemplateLib, true);
    TfrmSelectTemplate forOther(nullptr, Main->TemplateLib, false);
    struct Case {
        QStringList path;
        bool ok;
    } cases[] = {
        {{"Vertex Styles", "Texts", "Draw Items", "Card"}, true},
        {{"Vertex Styles", "Texts", "Data Items", "Title"}, false},
        {{"Vertex Styles", "Pictures", "Bitmap Items", "Disc"}, false},
        {{"Vertex Styles", "Texts", "Draw Items"}, false},
        {{"Vertex Styles", "Texts"}, false},
    };
    auto find = [](QTreeWidget *tree, const QStringList &path) {
        QTreeWidgetItem *node = tree->topLevelItem(0);
        for (const QString &t : path) {
            QTreeWidgetItem *next = nullptr;
            for (int i = 0; node && i < node->childCount(); ++i)
                if (node->child(i)->text(0) == t)
                    next = node->child(i);
            node = next;
        }
        return node;
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.join('/').toStdString());
        forDraw.tvTemplate->setCurrentItem(find(forDraw.tvTemplate, c.path));
        forOther.tvTemplate->setCurrentItem(find(forOther.tvTemplate, c.path));
        EXPECT_EQ(forDraw.OkButton()->isEnabled(), c.ok);
        EXPECT_FALSE(forOther.OkButton()->isEnabled());
    }
    EXPECT_EQ(forDraw.tvTemplate->topLevelItem(0)->childCount(), 1); // no edge styles

    // The chosen item's settings, all but the name.
    TKVDrawItem item;
    item.Name = "mine";
    TfrmDrawItemProps dialog(nullptr, item, Main->TemplateLib);
    UI.OnExec = [&](QDialog &d) {
        auto &t = static_cast<TfrmSelectTemplate &>(d);
        t.tvTemplate->setCurrentItem(find(t.tvTemplate, {"Vertex Styles", "Shapes", "Draw Items", "Ellipse"}));
        return t.OkButton()->isEnabled() ? QDialog::Accepted : QDialog::Rejected;
    };
    dialog.btTemplate->click();
    dialog.Apply(item);
    TKVDrawItem expected;
    expected.Assign(*Main->TemplateLib.VertexStyles[0]->DrawItems[2]);
    expected.Name = "mine";
    TKVWriter a, b;
    item.Save(a);
    expected.Save(b);
    EXPECT_EQ(a.Data(), b.Data());
}

TEST_F(DialogsTest, PositionAndSizeFieldsFollowTheAlignment)
{
    TKVDrawItem item;
    TfrmDrawItemProps dialog(nullptr, item, Main->TemplateLib);
    TItemGeneral &g = *dialog.General;
    struct Case {
        int align;
        bool position, size;
    } cases[] = {{haNone, true, true}, {haLeft, false, true}, {haRight, false, true}, {haBoth, false, false},
                 {haCenter, false, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.align);
        g.cbHorzAlign->setCurrentIndex(c.align);
        g.cbVertAlign->setCurrentIndex(c.align);
        EXPECT_EQ(g.edLeft->isEnabled(), c.position);
        EXPECT_EQ(g.edWidth->isEnabled(), c.size);
        EXPECT_EQ(g.edTop->isEnabled(), c.position);
        EXPECT_EQ(g.edHeight->isEnabled(), c.size);
    }
    g.cbCoordMode->setCurrentIndex(cmPercentage);
    for (QLabel *l : g.lbPercent)
        EXPECT_FALSE(l->isHidden());
    g.cbCoordMode->setCurrentIndex(cmValue);
    for (QLabel *l : g.lbPercent)
        EXPECT_TRUE(l->isHidden());
    // The data and bitmap dialogs share the rules.
    TKVBitmapItem bitmap;
    bitmap.HorzAlign = haBoth;
    TfrmBitmapItemProps other(nullptr, bitmap);
    EXPECT_FALSE(other.General->edLeft->isEnabled());
    EXPECT_FALSE(other.General->edWidth->isEnabled());
}

TEST_F(DialogsTest, APictureThatCannotBeReadLeavesTheBitmap)
{
    TKVBitmapItem item;
    item.Bitmap.SetSize(2, 3);
    TfrmBitmapItemProps dialog(nullptr, item);
    QFile junk(fDir.filePath("junk.bmp"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("BM not really a picture");
    junk.close();
    UI.FileNames = {junk.fileName()};
    dialog.btSelect->click();
    EXPECT_EQ(UI.Errors.size(), 1);
    TKVBitmapItem out;
    dialog.Apply(out);
    EXPECT_EQ(out.Bitmap.Width(), 2);

    QImage picture(5, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(fDir.filePath("red.png")));
    EXPECT_TRUE(dialog.LoadPicture(fDir.filePath("red.png")));
    dialog.Apply(out);
    EXPECT_EQ(out.Bitmap.Width(), 5);
    EXPECT_EQ(ColorToRGB(out.Bitmap.Pixel(4, 3)), clRed);
}

TEST_F(DialogsTest, PreviewSettingsApplyToThePreview)
{
    TfrmPreviewSettings dialog(nullptr, *Main->KVB);
    EXPECT_EQ(dialog.edBackground->Color(), clInfoBk);
    EXPECT_EQ(dialog.edGridStep->value(), 50);
    dialog.cbShowGrid->setChecked(true);
    dialog.edGridStep->setValue(20);
    dialog.cbGridStyle->setCurrentIndex(1);
    dialog.cbImmediate->setChecked(true);
    dialog.Apply(*Main->KVB);
    EXPECT_TRUE(Main->KVB->ShowGrid());
    EXPECT_EQ(Main->KVB->GridStep(), 20);
    EXPECT_EQ(Main->KVB->GridStyle(), psDot);
    EXPECT_TRUE(Main->KVB->ImmediateRedraw);
}

TEST_F(DialogsTest, EveryControlHasAnAccessibleName)
{
    TKVDrawItem draw;
    TKVDataItem data;
    TKVBitmapItem bitmap;
    std::vector<std::unique_ptr<QWidget>> windows;
    windows.emplace_back(new TfrmLibraryProps(nullptr, Main->SL()));
    windows.emplace_back(new TfrmVertexStyleProps(nullptr, *Main->SL().VertexStyles[0]));
    windows.emplace_back(new TfrmEdgeStyleProps(nullptr, *Main->SL().EdgeStyles[0], Main->TemplateLib));
    windows.emplace_back(new TfrmDrawItemProps(nullptr, draw, Main->TemplateLib));
    windows.emplace_back(new TfrmDataItemProps(nullptr, data));
    windows.emplace_back(new TfrmBitmapItemProps(nullptr, bitmap));
    windows.emplace_back(new TfrmCreatePen(nullptr, TPen{}));
    windows.emplace_back(new TfrmCreateBrush(nullptr, TBrush{}));
    windows.emplace_back(new TfrmEnterData(nullptr, "x", "|", true));
    windows.emplace_back(new TfrmSelectTemplate(nullptr, Main->TemplateLib, true));
    windows.emplace_back(new TfrmPreviewSettings(nullptr, *Main->KVB));
    for (const auto &w : windows) {
        const QWidget *window = w.get();
        for (QWidget *c : window->findChildren<QWidget *>()) {
            const bool control = qobject_cast<QAbstractButton *>(c) || qobject_cast<QLineEdit *>(c) ||
                                 qobject_cast<QComboBox *>(c) || qobject_cast<QAbstractSpinBox *>(c) ||
                                 qobject_cast<QTreeWidget *>(c) || qobject_cast<QPlainTextEdit *>(c);
            if (control && !qobject_cast<QLineEdit *>(c->parent()) && !qobject_cast<QAbstractSpinBox *>(c->parent()) &&
                !qobject_cast<QComboBox *>(c->parent())) {
                EXPECT_FALSE(c->accessibleName().isEmpty())
                    << window->windowTitle().toStdString() << ": " << c->metaObject()->className() << " "
                    << c->objectName().toStdString();
            }
        }
    }
    for (QWidget *c : Main->findChildren<QWidget *>()) {
        if (qobject_cast<QTreeWidget *>(c) || dynamic_cast<TKVDiagramBox *>(c)) {
            EXPECT_FALSE(c->accessibleName().isEmpty()) << c->metaObject()->className();
        }
    }
}

} // namespace
} // namespace ornamo

// The search window and its component: layout, the show limit, pages, reloads, picking hits.

#include "SearchFixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using fixture::Numbered;
using fixture::Texts;

namespace {

const TL0NameKind kClass = TL0NameKind::Class;

// 350 classes, 30 of them TCustom ones spread over the first 300, in source order.
std::vector<std::string> ManyClasses()
{
    std::vector<std::string> names;
    for (int i = 0; i < 350; ++i)
        names.push_back(i % 10 == 5 && i < 300 ? "TCustomThing" + std::to_string(i) : "TPlain" + std::to_string(i));
    return names;
}

struct Opened {
    fixture::Sources sources;
    TqmkbSearchDialog dialog{&sources.owner};
    TfrmQMKB_Search *form = nullptr;

    explicit Opened(int showLimit = 200)
    {
        sources.Set(TL0NameKind::Routine, {"IntToStr", "StrToInt", "Format (SysUtils)", "Format (Strings)"});
        sources.Set(TL0NameKind::Interface, {"IUnknown", "IStream"});
        sources.Set(kClass, ManyClasses());
        sources.Set(TL0NameKind::Property, {"Caption (TButton)", "Caption (TLabel)", "Color (TButton)"});
        sources.Set(TL0NameKind::Method, {"Click (TButton)", "Paint (TShape)"});
        sources.Set(TL0NameKind::Event, {"OnClick (TButton)"});
        sources.BindTo(dialog);
        dialog.SetShowLimit(showLimit);
        dialog.Execute();
        form = dialog.Form();
    }
    QLabel *Count(TL0NameKind k) { return form->lblCounts[size_t(k)]; }
    const QAbstractItemModel &Page(TL0NameKind k) { return *form->lstResults[size_t(k)]->model(); }
    void Type(const QString &text) { form->txtSearchFor->setText(text); }
    std::vector<std::string> CountTexts()
    {
        std::vector<std::string> texts;
        for (QLabel *label : form->lblCounts)
            texts.push_back(label->text().toStdString());
        return texts;
    }
};

// Runs action and gives the text of the message box it shows, closing the box.
QString BoxTextDuring(const std::function<void()> &action)
{
    QString text;
    QTimer::singleShot(0, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            text = box->text();
            box->close();
        }
    });
    action();
    return text;
}

} // namespace

TEST(SearchWindow, LayoutCaptionsAndAccessibleNames)
{
    Opened o;
    TfrmQMKB_Search *f = o.form;
    EXPECT_EQ(f->windowTitle(), "Search Window");
    EXPECT_FALSE(f->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    ASSERT_EQ(f->pageControl1->count(), 6);
    const char *captions[] = {"Routine", "Interface", "Class", "Property", "Method", "Event"};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(f->pageControl1->tabText(k), captions[k]);
        EXPECT_EQ(f->pageControl1->widget(k), f->lstResults[size_t(k)]);
        QLabel *count = f->lblCounts[size_t(k)];
        EXPECT_TRUE(count->font().bold());
        EXPECT_EQ(count->palette().color(QPalette::WindowText), QColor(0, 0, 0x80));
        EXPECT_EQ(count->alignment(), Qt::AlignCenter);
    }
    EXPECT_EQ(f->lstClasses->objectName(), "lstClasses");
    EXPECT_EQ(f->txtShowLimit->toolTip(), R"(How "few" items in the search result before listing/showing them)");
    EXPECT_TRUE(f->txtSearchFor->isClearButtonEnabled());
    for (const char *caption : {"Search for", "ShowLimit"}) {
        auto labels = f->findChildren<QLabel *>();
        auto it = std::find_if(labels.begin(), labels.end(), [&](QLabel *l) { return l->text() == caption; });
        ASSERT_NE(it, labels.end()) << caption;
        EXPECT_TRUE((*it)->font().bold());
    }
    for (QWidget *w : f->findChildren<QWidget *>()) {
        bool control = qobject_cast<QLineEdit *>(w) || qobject_cast<QAbstractItemView *>(w) ||
                       qobject_cast<QToolButton *>(w) || qobject_cast<QTabWidget *>(w) ||
                       w->objectName().startsWith("lblCount");
        if (control && w->accessibleName().isEmpty() && !w->objectName().startsWith("qt_"))
            ADD_FAILURE() << "no accessible name: " << w->metaObject()->className() << " " << w->objectName().toStdString();
    }
}

TEST(SearchWindow, ShowLimitRuleAndCaseInsensitiveSearch)
{
    Opened o;
    // Counts show at once; the class page lists nothing: 350 > 200.
    EXPECT_EQ(o.CountTexts(), (std::vector<std::string>{"4", "2", "350", "3", "2", "1"}));
    o.form->pageControl1->setCurrentIndex(int(kClass));
    EXPECT_EQ(o.Page(kClass).rowCount(), 0);

    std::vector<std::string> expected;
    for (int i = 5; i < 300; i += 10)
        expected.push_back("TCustomThing" + std::to_string(i));
    for (QString typed : {"TCUSTOM", "tcustom", "TcUsToM"}) {
        o.Type(typed);
        EXPECT_EQ(o.Count(kClass)->text(), "30");
        EXPECT_EQ(o.Count(kClass)->accessibleName(), "Matching classes: 30");
        EXPECT_EQ(Texts(o.Page(kClass)), expected) << typed.toStdString();
    }
    o.Type("");
    EXPECT_EQ(o.Page(kClass).rowCount(), 0);
    EXPECT_EQ(o.Count(kClass)->text(), "350");
    o.form->txtShowLimit->setText("350");
    EXPECT_EQ(o.Page(kClass).rowCount(), 350);
}

TEST(SearchWindow, SwitchingPagesFillsTheNewPageFromTheLastSearch)
{
    Opened o;
    o.Type("caption");
    EXPECT_EQ(o.form->ActiveKind(), TL0NameKind::Property); // the routine page had nothing
    EXPECT_EQ(Texts(o.Page(TL0NameKind::Property)), (std::vector<std::string>{"Caption (TButton)", "Caption (TLabel)"}));
    o.Type("click");
    EXPECT_EQ(o.form->ActiveKind(), TL0NameKind::Method);
    EXPECT_EQ(o.Page(TL0NameKind::Event).rowCount(), 0);
    o.form->pageControl1->setCurrentIndex(int(TL0NameKind::Event));
    EXPECT_EQ(Texts(o.Page(TL0NameKind::Event)), (std::vector<std::string>{"OnClick (TButton)"}));
    // A visible page with matches stays even when an earlier kind has some too.
    o.Type("c");
    EXPECT_EQ(o.form->ActiveKind(), TL0NameKind::Event);
    // Nothing anywhere: the page stays.
    o.Type("zzz");
    EXPECT_EQ(o.form->ActiveKind(), TL0NameKind::Event);
    EXPECT_EQ(o.CountTexts(), std::vector<std::string>(6, ""));
}

TEST(SearchWindow, ShowLimitEditUpDownAndBadText)
{
    Opened o;
    EXPECT_EQ(o.form->ShowLimit(), 200);
    EXPECT_EQ(o.form->txtShowLimit->text(), "200");
    QToolButton *up = o.form->udShowLimit->UpButton();
    QToolButton *down = o.form->udShowLimit->DownButton();
    up->click();
    EXPECT_EQ(o.form->ShowLimit(), 210);
    o.form->txtShowLimit->setText("37");
    up->click();
    EXPECT_EQ(o.form->txtShowLimit->text(), "47");
    o.form->txtShowLimit->setText("9995");
    up->click();
    up->click();
    EXPECT_EQ(o.form->ShowLimit(), 10000); // no wrap
    o.form->txtShowLimit->setText("5");
    down->click();
    EXPECT_EQ(o.form->ShowLimit(), 1);

    // Limit 0: a kind is listed only when it has no matches, so every page is empty.
    o.form->txtShowLimit->setText("0");
    EXPECT_EQ(o.form->ShowLimit(), 0);
    o.Type("IntToStr");
    EXPECT_EQ(o.Count(TL0NameKind::Routine)->text(), "1");
    EXPECT_EQ(o.Page(TL0NameKind::Routine).rowCount(), 0);
    o.form->txtShowLimit->setText("1");
    EXPECT_EQ(Texts(o.Page(TL0NameKind::Routine)), (std::vector<std::string>{"IntToStr"}));

    for (QString bad : {"abc", "", "1.5", "12x", "99999999999"}) {
        QString shown = BoxTextDuring([&] { o.form->txtShowLimit->setText(bad); });
        EXPECT_EQ(shown, "'" + bad + "' is not a valid integer value");
        EXPECT_EQ(o.form->ShowLimit(), 1);
        o.form->txtShowLimit->setText("1");
    }
    EXPECT_EQ(L0StrToInt("  -12"), -12);
    EXPECT_EQ(L0StrToInt("+7"), 7);
}

TEST(SearchWindow, ReloadWhileOpenReplacesNamesAndSearchesAgain)
{
    fixture::Sources sources;
    TqmkbSearchDialog dialog(&sources.owner);
    sources.BindTo(dialog);
    EXPECT_FALSE(dialog.RefreshNames()); // never opened
    sources.Set(TL0NameKind::Routine, {"FormatFloat", "Trim"});
    dialog.Execute();
    TfrmQMKB_Search *form = dialog.Form();
    form->txtSearchFor->setText("format");
    EXPECT_EQ(Texts(*form->lstRoutines->model()), (std::vector<std::string>{"FormatFloat"}));

    sources.Set(TL0NameKind::Routine, {"Format (SysUtils)", "Format (Strings)", "FormatDateTime", "Abs"});
    sources.Set(kClass, {"TFormatSettings"});
    EXPECT_TRUE(dialog.RefreshNames());
    EXPECT_EQ(form->Names(TL0NameKind::Routine).Count(), 4);
    EXPECT_EQ(form->lblCounts[0]->text(), "3");
    EXPECT_EQ(form->lblCounts[2]->text(), "1");
    EXPECT_EQ(Texts(*form->lstRoutines->model()),
              (std::vector<std::string>{"Format (SysUtils)", "Format (Strings)", "FormatDateTime"}));
}

TEST(SearchWindow, EnterSpaceAndDoubleClickPickTheSelectedHit)
{
    Opened o;
    std::vector<std::pair<std::string, std::string>> picked; // kind, selected text
    auto record = [&](const char *kind) {
        return [&picked, kind](QAbstractItemView *sender) {
            picked.emplace_back(kind, SelectedListText(sender));
        };
    };
    o.dialog.OnSelectRoutine = record("routine");
    o.dialog.OnSelectProperty = record("property");
    o.dialog.OnSelectInterface = record("interface");
    o.dialog.Execute(); // binds the events anew
    o.Type("str");
    QListView *routines = o.form->lstRoutines;
    QTest::keyClick(routines, Qt::Key_Return); // nothing selected: nothing picked
    EXPECT_TRUE(picked.empty());
    routines->setCurrentIndex(routines->model()->index(1, 0));
    QTest::keyClick(routines, Qt::Key_Return);
    QTest::keyClick(routines, Qt::Key_Space);
    QApplication::processEvents();
    QRect first = routines->visualRect(routines->model()->index(0, 0));
    QTest::mouseClick(routines->viewport(), Qt::LeftButton, {}, first.center());
    QTest::mouseDClick(routines->viewport(), Qt::LeftButton, {}, first.center());
    QTest::keyClick(routines, Qt::Key_Down); // other keys do what they always do
    EXPECT_EQ(SelectedListText(routines), "StrToInt");
    EXPECT_EQ(picked, (std::vector<std::pair<std::string, std::string>>{
                          {"routine", "StrToInt"}, {"routine", "StrToInt"}, {"routine", "IntToStr"}}));

    // A page showing its whole source list picks the same way.
    picked.clear();
    o.Type("");
    o.form->pageControl1->setCurrentIndex(int(TL0NameKind::Interface));
    QListView *interfaces = o.form->lstInterfaces;
    interfaces->setCurrentIndex(interfaces->model()->index(1, 0));
    QTest::keyClick(interfaces, Qt::Key_Space);
    EXPECT_EQ(picked, (std::vector<std::pair<std::string, std::string>>{{"interface", "IStream"}}));

    // A kind without a handler picks nothing.
    picked.clear();
    o.Type("paint");
    QListView *methods = o.form->lstMethods;
    methods->setCurrentIndex(methods->model()->index(0, 0));
    QTest::keyClick(methods, Qt::Key_Return);
    EXPECT_TRUE(picked.empty());
}

TEST(SearchWindow, ClosingHidesTheWindowForTheNextExecute)
{
    Opened o;
    int closed = 0;
    o.form->AfterClosed = [&](QObject *sender) { closed += sender == o.form; };
    o.Type("str");
    EXPECT_TRUE(o.form->isVisible());
    o.form->close();
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(o.form->isHidden());
    o.dialog.Execute();
    EXPECT_EQ(o.dialog.Form(), o.form);
    EXPECT_TRUE(o.form->isVisible());
    EXPECT_EQ(o.form->txtSearchFor->text(), "str");
    EXPECT_EQ(o.form->lblCounts[0]->text(), "2");
}

TEST(SearchWindow, SourceListsAreForgottenWhenDestroyed)
{
    fixture::Sources sources;
    TqmkbSearchDialog dialog;
    sources.BindTo(dialog);
    delete sources.lists[2];
    EXPECT_EQ(dialog.ClassesListbox(), nullptr);
    EXPECT_NE(dialog.RoutinesListBox(), nullptr);
    dialog.Execute(); // a window without owner, freed with the component
    EXPECT_EQ(dialog.Form()->Names(kClass).Count(), 0);
}

TEST(SearchWindow, CharactersOutsideTheCodePageFindNothing)
{
    Opened o;
    o.Type(QString("Str") + QChar(0x2603));
    EXPECT_EQ(o.CountTexts(), std::vector<std::string>(6, ""));
    o.Type("Str");
    EXPECT_EQ(o.form->lblCounts[0]->text(), "2");
}

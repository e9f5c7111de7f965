// The search window: layout, the search on every keystroke, the show limit and picking hits.

#include "browser/app/F_QMKB_Search.h"

#include "browser/support/L1ListBoxes.h"
#include "browser/support/L1basis.h"
#include "platform/text/Windows1252.h"
#include "platform/ui/QtPrompts.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <charconv>
#include <climits>

namespace {

const char *const kPageCaptions[L0NameKindCount] = {"Routine", "Interface", "Class", "Property", "Method", "Event"};
const char *const kListNames[L0NameKindCount] = {"lstRoutines",  "lstInterfaces", "lstClasses",
                                                 "lstProperties", "lstMethods",   "lstEvents"};
const char *const kPlural[L0NameKindCount] = {"routines", "interfaces", "classes", "properties", "methods", "events"};

QLabel *BoldCaption(const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// Search texts are compared in the names' code page. A character the code page lacks can
// occur in no name; it becomes a blank, which no key contains, so such a text finds nothing.
std::string SearchTextToCp1252(const QString &typed)
{
    std::string result;
    for (char32_t c : typed.toUcs4()) {
        bool ok = false;
        unsigned char b = text::UnicodeToCp1252(c, &ok);
        result += ok ? char(b) : ' ';
    }
    return result;
}

} // namespace

int L0StrToInt(const std::string &text)
{
    size_t start = text.find_first_not_of(' ');
    if (start != std::string::npos) {
        const char *first = text.data() + start;
        const char *last = text.data() + text.size();
        if (*first == '+' && last - first > 1 && first[1] != '-' && first[1] != '+')
            ++first;
        long long value = 0;
        auto [end, error] = std::from_chars(first, last, value);
        if (error == std::errc() && end == last && value >= INT_MIN && value <= INT_MAX)
            return int(value);
    }
    throw Exception("'" + text + "' is not a valid integer value");
}

// ---- TL0UpDown ----------------------------------------------------------------------

TL0UpDown::TL0UpDown(QLineEdit *associate, int minimum, int maximum, int increment, QWidget *parent)
    : QWidget(parent), fAssociate(associate), fUp(new QToolButton(this)), fDown(new QToolButton(this)),
      fMinimum(minimum), fMaximum(maximum), fIncrement(increment), fPosition(minimum)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton *button : {fUp, fDown}) {
        button->setArrowType(button == fUp ? Qt::UpArrow : Qt::DownArrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        button->setFixedWidth(16);
        layout->addWidget(button);
    }
    connect(fUp, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(fDown, &QToolButton::clicked, this, [this] { Step(-1); });
}

void TL0UpDown::SetPosition(int position)
{
    fPosition = L1Clamp(fMinimum, position, fMaximum);
    if (fAssociate && fAssociate->text() != QString::number(fPosition))
        fAssociate->setText(QString::number(fPosition));
}

void TL0UpDown::Step(int direction)
{
    int current = fPosition;
    if (fAssociate) {
        try {
            current = L0StrToInt(ToCp1252(fAssociate->text()));
        } catch (const Exception &) {
            // the arrows step from their own position when the edit holds no number
        }
    }
    // No wrap: the ends hold.
    long long next = (long long)current + (long long)direction * fIncrement;
    SetPosition(int(std::clamp<long long>(next, fMinimum, fMaximum)));
}

// ---- TfrmQMKB_Search ----------------------------------------------------------------

TfrmQMKB_Search::TfrmQMKB_Search(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName("frmQMKB_Search");
    setWindowTitle("Search Window");
    // System menu only: no minimise or maximise buttons.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    // An open search window does not keep the program running once the main window is closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    setAccessibleName("Search Window");
    resize(440, 380);

    auto *top = new QWidget(this);
    top->setObjectName("pnlTop");
    top->setAccessibleName("Search text and show limit");
    auto *grid = new QGridLayout(top);
    grid->setContentsMargins(0, 0, 0, 0);
    QLabel *searchCaption = BoldCaption("Search for", top);
    txtSearchFor = new QLineEdit(top);
    txtSearchFor->setObjectName("txtSearchFor");
    txtSearchFor->setAccessibleName("Search for");
    txtSearchFor->setClearButtonEnabled(true);
    for (QToolButton *clear : txtSearchFor->findChildren<QToolButton *>())
        clear->setAccessibleName("Clear search text");
    searchCaption->setBuddy(txtSearchFor);

    QLabel *limitCaption = BoldCaption("ShowLimit", top);
    txtShowLimit = new QLineEdit("1", top);
    txtShowLimit->setObjectName("txtShowLimit");
    txtShowLimit->setAccessibleName("Show limit");
    txtShowLimit->setToolTip(R"(How "few" items in the search result before listing/showing them)");
    txtShowLimit->setFixedWidth(txtShowLimit->fontMetrics().horizontalAdvance("0000000") + 12);
    limitCaption->setBuddy(txtShowLimit);
    udShowLimit = new TL0UpDown(txtShowLimit, 1, 10000, 10, top);
    udShowLimit->setObjectName("udShowLimit");
    udShowLimit->setAccessibleName("Show limit up-down");
    udShowLimit->UpButton()->setAccessibleName("Increase show limit");
    udShowLimit->DownButton()->setAccessibleName("Decrease show limit");
    udShowLimit->setFixedHeight(txtShowLimit->sizeHint().height());

    auto *limitRow = new QHBoxLayout;
    limitRow->setSpacing(0);
    limitRow->addWidget(txtShowLimit);
    limitRow->addWidget(udShowLimit);
    grid->addWidget(searchCaption, 0, 0);
    grid->addWidget(txtSearchFor, 1, 0);
    grid->addWidget(limitCaption, 0, 1);
    grid->addLayout(limitRow, 1, 1);
    grid->setColumnStretch(0, 1);

    // The count labels stand over their pages' tabs (placed by PlaceCounts).
    fCountRow = new QWidget(this);
    fCountRow->setObjectName("pnlCounts");
    fCountRow->setAccessibleName("Match counts");
    pageControl1 = new QTabWidget(this);
    pageControl1->setObjectName("pageControl1");
    pageControl1->setAccessibleName("Kinds of names");
    for (int k = 0; k < L0NameKindCount; ++k) {
        QLabel *count = BoldCaption(QString(), fCountRow);
        count->setObjectName(QString("lblCount") + kPageCaptions[k]);
        count->setAlignment(Qt::AlignCenter);
        count->setMinimumHeight(count->fontMetrics().height()); // keeps its row when empty
        QPalette palette = count->palette();
        palette.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80));
        count->setPalette(palette);
        lblCounts[size_t(k)] = count;

        auto *list = new QListView(pageControl1);
        list->setObjectName(kListNames[k]);
        list->setAccessibleName(QString("Matching ") + kPlural[k]);
        list->setUniformItemSizes(true);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        fResults[size_t(k)] = new TL0SearchResultsModel(list);
        list->setModel(fResults[size_t(k)]);
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
        pageControl1->addTab(list, kPageCaptions[k]);
        lstResults[size_t(k)] = list;
    }
    lstRoutines = lstResults[0];
    lstInterfaces = lstResults[1];
    lstClasses = lstResults[2];
    lstProperties = lstResults[3];
    lstMethods = lstResults[4];
    lstEvents = lstResults[5];

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(top);
    fCountRow->setFixedHeight(lblCounts[0]->minimumHeight() + 2);
    layout->addWidget(fCountRow);
    layout->addWidget(pageControl1, 1);
    pageControl1->tabBar()->installEventFilter(this);

    connect(txtSearchFor, &QLineEdit::textChanged, this, &TfrmQMKB_Search::SearchForChanged);
    connect(txtShowLimit, &QLineEdit::textChanged, this, &TfrmQMKB_Search::ShowLimitChanged);
    connect(pageControl1, &QTabWidget::currentChanged, this, &TfrmQMKB_Search::PageChanged);

    for (int k = 0; k < L0NameKindCount; ++k)
        fNames[size_t(k)] = std::make_unique<TL0PreProcessedNames>(this, lblCounts[size_t(k)], fResults[size_t(k)]);
    NameCounts();
}

TfrmQMKB_Search::~TfrmQMKB_Search()
{
    // The result models may point into the engines' entries: they go first.
    for (TL0SearchResultsModel *results : fResults)
        results->Clear();
}

void TfrmQMKB_Search::SetShowLimit(int limit)
{
    if (limit == fShowLimit)
        return;
    fShowLimit = limit;
    txtShowLimit->setText(QString::number(limit));
}

void TfrmQMKB_Search::LoadNames()
{
    WaitCursorBracket wait;
    for (auto &names : fNames)
        names->LoadFromListbox();
}

void TfrmQMKB_Search::ReloadNames()
{
    {
        WaitCursorBracket wait;
        for (auto &names : fNames)
            names->ReloadFromListbox();
    }
    Search(txtSearchFor->text());
}

TL0NameKind TfrmQMKB_Search::ActiveKind() const
{
    return TL0NameKind(L1Clamp(0, pageControl1->currentIndex(), L0NameKindCount - 1));
}

void TfrmQMKB_Search::Search(const QString &text)
{
    const std::string cp1252 = SearchTextToCp1252(text);
    for (auto &names : fNames)
        names->Match(cp1252);
    NameCounts();
    const int active = int(ActiveKind());
    if (fNames[size_t(active)]->MatchCount() == 0) {
        // Nothing of the visible kind: the first kind with matches comes to the front (the
        // page change fills it).
        for (int k = 0; k < L0NameKindCount; ++k) {
            if (fNames[size_t(k)]->MatchCount() > 0) {
                if (k != active) {
                    pageControl1->setCurrentIndex(k);
                    return;
                }
                break;
            }
        }
    }
    fNames[size_t(active)]->PopulateMatches();
}

void TfrmQMKB_Search::SearchForChanged(const QString &text)
{
    Search(text);
}

void TfrmQMKB_Search::ShowLimitChanged(const QString &text)
{
    try {
        fShowLimit = L0StrToInt(ToCp1252(text));
    } catch (const Exception &e) {
        // The limit keeps its value; the message is the application's error box.
        QMessageBox::critical(this, QGuiApplication::applicationDisplayName(), FromCp1252(e.Message()));
        return;
    }
    if (fNames[0])
        Names(ActiveKind()).PopulateMatches();
}

void TfrmQMKB_Search::PageChanged(int index)
{
    if (index >= 0 && index < L0NameKindCount && fNames[size_t(index)])
        fNames[size_t(index)]->PopulateMatches();
}

void TfrmQMKB_Search::PickHit(TL0NameKind kind)
{
    QListView *list = lstResults[size_t(kind)];
    if (SelectedListText(list).empty())
        return;
    if (const TSearchSelectEvent &event = OnSelectKind[size_t(kind)])
        event(list);
}

int TfrmQMKB_Search::KindOfList(QObject *object) const
{
    for (int k = 0; k < L0NameKindCount; ++k)
        if (lstResults[size_t(k)] && (object == lstResults[size_t(k)] || object == lstResults[size_t(k)]->viewport()))
            return k;
    return -1;
}

void TfrmQMKB_Search::NameCounts()
{
    // A screen reader reads the count with its kind; the label itself shows only the number.
    for (int k = 0; k < L0NameKindCount; ++k) {
        const int count = fNames[size_t(k)]->MatchCount();
        lblCounts[size_t(k)]->setAccessibleName(QString("Matching %1: %2").arg(kPlural[k]).arg(count));
    }
}

void TfrmQMKB_Search::PlaceCounts()
{
    QTabBar *tabs = pageControl1->tabBar();
    for (int k = 0; k < L0NameKindCount; ++k) {
        QRect tab = tabs->tabRect(k);
        QPoint at = tabs->mapTo(this, tab.topLeft()) - fCountRow->pos();
        lblCounts[size_t(k)]->setGeometry(at.x(), 0, tab.width(), fCountRow->height());
    }
}

bool TfrmQMKB_Search::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == pageControl1->tabBar()) {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Move || event->type() == QEvent::LayoutRequest)
            PlaceCounts();
        return QWidget::eventFilter(watched, event);
    }
    const int kind = KindOfList(watched);
    if (kind >= 0) {
        if (event->type() == QEvent::MouseButtonDblClick && watched != lstResults[size_t(kind)]) {
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                PickHit(TL0NameKind(kind));
                return true;
            }
        } else if (event->type() == QEvent::KeyPress && watched == lstResults[size_t(kind)]) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                PickHit(TL0NameKind(kind));
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmQMKB_Search::showEvent(QShowEvent *event)
{
    txtShowLimit->setText(QString::number(fShowLimit));
    QWidget::showEvent(event);
    PlaceCounts();
}

void TfrmQMKB_Search::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    PlaceCounts();
}

void TfrmQMKB_Search::closeEvent(QCloseEvent *event)
{
    if (AfterClosed)
        AfterClosed(this);
    // Hidden, not destroyed: the next Execute shows it again.
    event->accept();
}

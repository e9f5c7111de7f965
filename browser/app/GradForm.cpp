// The gradient caption band of the browser's main window.
#include "browser/app/GradForm.h"

#include <QEvent>
#include <QMenuBar>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

class TCaptionBand : public QWidget {
public:
    explicit TCaptionBand(TGradientForm *form) : QWidget(form), fForm(form)
    {
        setObjectName(QStringLiteral("CaptionBand"));
        setAccessibleName(QStringLiteral("Caption"));
        UpdateFont();
    }

    void UpdateFont()
    {
        QFont f = font();
        f.setBold(true);
        fCaptionFont = f;
        setFixedHeight(QFontMetrics(f).height() + 6);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        bool active = fForm->isActiveWindow();
        const QVector<QColor> &table = active ? fForm->fActiveColors : fForm->fInactiveColors;
        int w = width();
        if (fForm->GradientShown() && !table.isEmpty()) {
            int n = int(table.size());
            for (int i = 0; i < n; ++i) {
                int left = int(qint64(i) * w / n);
                int right = int(qint64(i + 1) * w / n);
                p.fillRect(QRect(left, 0, right - left, height()), table[i]);
            }
        } else {
            p.fillRect(rect(), palette().color(active ? QPalette::Active : QPalette::Inactive, QPalette::Highlight));
        }
        QRect textRect = rect().adjusted(4, 0, -4, 0);
        QIcon icon = fForm->windowIcon();
        if (!icon.isNull()) {
            int side = height() - 4;
            icon.paint(&p, QRect(textRect.left(), 2, side, side));
            textRect.setLeft(textRect.left() + side + 4);
        }
        if (fForm->OnCaptionPaint)
            fForm->OnCaptionPaint(fForm, p, textRect);
        p.setFont(fCaptionFont);
        p.setPen(palette().color(active ? QPalette::Active : QPalette::Inactive, QPalette::HighlightedText));
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   p.fontMetrics().elidedText(fForm->windowTitle(), Qt::ElideRight, textRect.width()));
    }

    void changeEvent(QEvent *event) override
    {
        if (event->type() == QEvent::FontChange)
            UpdateFont();
        QWidget::changeEvent(event);
    }

private:
    TGradientForm *fForm;
    QFont fCaptionFont;
};

TGradientForm::TGradientForm(QWidget *parent) : QMainWindow(parent)
{
    auto *top = new QWidget(this);
    auto *layout = new QVBoxLayout(top);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    fBand = new TCaptionBand(this);
    fMenuBar = new QMenuBar(top);
    layout->addWidget(fBand);
    layout->addWidget(fMenuBar);
    setMenuWidget(top);
    BuildTables();
}

QVector<QColor> TGradientForm::GradientTable(const QColor &caption, int count)
{
    QVector<QColor> table;
    if (count < 2)
        return table;
    table.reserve(count);
    auto part = [&](int i, int c) { return int(std::lround(double(i) * c / (count - 1))); };
    for (int i = 0; i < count; ++i)
        table.append(QColor(part(i, caption.red()), part(i, caption.green()), part(i, caption.blue())));
    return table;
}

void TGradientForm::BuildTables()
{
    fActiveColors = GradientTable(palette().color(QPalette::Active, QPalette::Highlight), fGradientColors);
    fInactiveColors = GradientTable(palette().color(QPalette::Inactive, QPalette::Highlight), fGradientColors);
}

void TGradientForm::SetGradientColors(int count)
{
    if (count < 8 || count > 256)
        return;
    fGradientColors = count;
    BuildTables();
    fBand->update();
}

void TGradientForm::SetPaintGradient(TGFPaintGradient when)
{
    fPaintGradient = when;
    fBand->setVisible(when != gfpNever);
    fBand->update();
}

bool TGradientForm::GradientShown() const
{
    return fPaintGradient == gfpAlways || (fPaintGradient == gfpActive && isActiveWindow());
}

void TGradientForm::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::PaletteChange:
        BuildTables();
        fBand->update();
        break;
    case QEvent::ActivationChange:
    case QEvent::WindowTitleChange:
    case QEvent::WindowIconChange:
        fBand->update();
        break;
    default:
        break;
    }
    QMainWindow::changeEvent(event);
}

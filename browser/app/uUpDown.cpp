// The up-down control of an edit.
#include "browser/app/uUpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

TUpDown::TUpDown(QLineEdit *associate, int minimum, int maximum, int increment, QWidget *parent)
    : QWidget(parent), fAssociate(associate), fMinimum(minimum), fMaximum(maximum), fIncrement(increment),
      fPosition(minimum)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto button = [&](Qt::ArrowType arrow, const QString &name, int direction) {
        auto *b = new QToolButton(this);
        b->setArrowType(arrow);
        b->setAccessibleName(name);
        b->setAutoRepeat(true);
        b->setFixedSize(16, 11);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, direction] { Step(direction); });
        layout->addWidget(b);
        return b;
    };
    fUp = button(Qt::UpArrow, QStringLiteral("Up"), 1);
    fDown = button(Qt::DownArrow, QStringLiteral("Down"), -1);
    // The arrow keys in the edit step as the buttons do.
    if (fAssociate)
        fAssociate->installEventFilter(this);
}

bool TUpDown::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == fAssociate && event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TUpDown::SetPosition(int position)
{
    fPosition = std::clamp(position, fMinimum, fMaximum);
    if (fAssociate && fAssociate->text() != QString::number(fPosition))
        fAssociate->setText(QString::number(fPosition));
}

void TUpDown::SetAccessibleNames(const QString &what)
{
    fUp->setAccessibleName(QStringLiteral("Increase ") + what);
    fDown->setAccessibleName(QStringLiteral("Decrease ") + what);
}

void TUpDown::SetPositionQuietly(int position) { fPosition = std::clamp(position, fMinimum, fMaximum); }

void TUpDown::Step(int direction)
{
    if (!isEnabled())
        return;
    bool ok = false;
    int current = fAssociate ? fAssociate->text().trimmed().toInt(&ok) : 0;
    if (!ok)
        current = fPosition;
    SetPosition(std::clamp(current, fMinimum, fMaximum) + direction * fIncrement);
}

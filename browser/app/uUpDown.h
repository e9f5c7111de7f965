#pragma once
// An up-down control attached to an edit: its arrows step the number in the edit within a range.

#include <QWidget>

class QLineEdit;
class QToolButton;

class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(QLineEdit *associate, int minimum, int maximum, int increment, QWidget *parent = nullptr);

    int Position() const { return fPosition; }
    // Clamps to the range and writes the number into the edit (which raises its change).
    void SetPosition(int position);
    // Clamps and stores the position without touching the edit.
    void SetPositionQuietly(int position);
    int Minimum() const { return fMinimum; }
    int Maximum() const { return fMaximum; }
    int Increment() const { return fIncrement; }
    // Names the arrows after what they change ("Increase column width", ...).
    void SetAccessibleNames(const QString &what);
    // Steps from the number in the edit (from the position when the edit holds none).
    void Step(int direction);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *fAssociate;
    int fMinimum, fMaximum, fIncrement, fPosition;
    QToolButton *fUp, *fDown;
};

#pragma once
// The "Library Properties" dialog: the library's internal name.

#include "ornamo/uCommon.h"

class QLineEdit;

namespace ornamo {

class TfrmLibraryProps : public TPropertyDialog {
public:
    TfrmLibraryProps(QWidget *Parent, const TKVStyleLibrary &Library);
    // Copies the name into Library.
    void Apply(TKVStyleLibrary &Library) const;

    QLineEdit *edName;
};

} // namespace ornamo

#pragma once
// The "Vertex Style Properties" dialog: name, resize rule, initial size and connector placement.

#include "ornamo/uCommon.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace ornamo {

class TfrmVertexStyleProps : public TPropertyDialog {
public:
    TfrmVertexStyleProps(QWidget *Parent, const TKVVertexStyle &Style);
    void Apply(TKVVertexStyle &Style) const;

    QLineEdit *edName;
    QComboBox *cbResize;
    QSpinBox *edWidth, *edHeight;
    QComboBox *cbConnector;
};

} // namespace ornamo

// Qt Designer plugin of the Kavgraph library: the three visual components with their default
// geometry and the properties Designer shows (the widgets' Q_PROPERTY declarations).

#include "kavgraph/designer/KVDesignerPlugin.h"

#include "kavgraph/KVObjsBox.h"
#include "kavgraph/KVPrint.h"
#include "kavgraph/KVView.h"

namespace kavgraph {

TKVDesignerWidget::TKVDesignerWidget(QString className, QString header, QString objectName,
                                     QString toolTip, QString domProperties, Factory create,
                                     QObject *parent)
    : QObject(parent), fClassName(std::move(className)), fHeader(std::move(header)),
      fObjectName(std::move(objectName)), fToolTip(std::move(toolTip)),
      fDomProperties(std::move(domProperties)), fCreate(std::move(create))
{
}

QString TKVDesignerWidget::domXml() const
{
    return QStringLiteral("<ui language=\"c++\">\n"
                          " <widget class=\"%1\" name=\"%2\">\n"
                          "  <property name=\"geometry\"><rect><x>0</x><y>0</y>"
                          "<width>%3</width><height>%4</height></rect></property>\n"
                          "%5"
                          " </widget>\n"
                          "</ui>\n")
        .arg(fClassName, fObjectName)
        .arg(fClassName.endsWith(QLatin1String("TKVDiagramBox")) ? 320 : 160)
        .arg(fClassName.endsWith(QLatin1String("TKVDiagramBox")) ? 240 : 120)
        .arg(fDomProperties);
}

TKVDesignerPlugin::TKVDesignerPlugin(QObject *parent) : QObject(parent)
{
    fWidgets.append(new TKVDesignerWidget(
        QStringLiteral("kavgraph::TKVDiagramBox"), QStringLiteral("kavgraph/KVObjsBox.h"),
        QStringLiteral("diagramBox"),
        QStringLiteral("Holds one diagram: vertices, edges, selection, grid and printer pages"),
        QStringLiteral("  <property name=\"Scale\"><number>100</number></property>\n"),
        [](QWidget *parent) { return new TKVDiagramBox(parent); }, this));
    fWidgets.append(new TKVDesignerWidget(
        QStringLiteral("kavgraph::TKVOverviewBox"), QStringLiteral("kavgraph/KVView.h"),
        QStringLiteral("overviewBox"),
        QStringLiteral("A miniature of a diagram box's diagram that moves the visible area"),
        QString(), [](QWidget *parent) { return new TKVOverviewBox(parent); }, this));
    fWidgets.append(new TKVDesignerWidget(
        QStringLiteral("kavgraph::TKVPrintPreview"), QStringLiteral("kavgraph/KVPrint.h"),
        QStringLiteral("printPreview"),
        QStringLiteral("The printed pages of a diagram box, with pages marked for printing"),
        QString(), [](QWidget *parent) { return new TKVPrintPreview(parent); }, this));
}

} // namespace kavgraph

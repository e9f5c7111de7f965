#pragma once
// Qt Designer plugin of the Kavgraph library: puts the visual components (diagram box, overview
// box, print preview) on the widget box's group "Diagrams". The non-visual components (the actors
// and the style library) are created in code; Designer places widgets only.

#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QIcon>
#include <QObject>
#include <QString>

#include <functional>

namespace kavgraph {

// One component on the palette.
class TKVDesignerWidget : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    using Factory = std::function<QWidget *(QWidget *parent)>;
    TKVDesignerWidget(QString className, QString header, QString objectName, QString toolTip,
                      QString domProperties, Factory create, QObject *parent);

    QString name() const override { return fClassName; }
    QString group() const override { return QStringLiteral("Diagrams"); }
    QString toolTip() const override { return fToolTip; }
    QString whatsThis() const override { return fToolTip; }
    QString includeFile() const override { return fHeader; }
    QIcon icon() const override { return {}; }
    bool isContainer() const override { return false; }
    QWidget *createWidget(QWidget *parent) override { return fCreate(parent); }
    QString domXml() const override;

private:
    QString fClassName;
    QString fHeader;
    QString fObjectName;
    QString fToolTip;
    QString fDomProperties;
    Factory fCreate;
};

// The collection Designer loads.
class TKVDesignerPlugin : public QObject, public QDesignerCustomWidgetCollectionInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

public:
    explicit TKVDesignerPlugin(QObject *parent = nullptr);
    QList<QDesignerCustomWidgetInterface *> customWidgets() const override { return fWidgets; }

private:
    QList<QDesignerCustomWidgetInterface *> fWidgets;
};

} // namespace kavgraph

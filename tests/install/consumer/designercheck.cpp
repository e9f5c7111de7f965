// Loads the Kavgraph Designer plugin the way Qt Designer does and creates each of its widgets.
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <QApplication>
#include <QPluginLoader>
#include <QWidget>

#include <cstdio>
#include <memory>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: designer-check PLUGIN\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QPluginLoader loader(QString::fromLocal8Bit(argv[1]));
    auto *collection = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(loader.instance());
    if (!collection) {
        std::fprintf(stderr, "designer-check: %s\n", qPrintable(loader.errorString()));
        return 1;
    }
    for (QDesignerCustomWidgetInterface *w : collection->customWidgets()) {
        std::unique_ptr<QWidget> widget(w->createWidget(nullptr));
        if (!widget || w->domXml().isEmpty())
            return 1;
        std::printf("%s\t%s\t%s\t%s\n", qPrintable(w->group()), qPrintable(w->name()),
                    qPrintable(w->includeFile()), widget->metaObject()->className());
    }
    return 0;
}

// Loads a graph file with an installed Kavgraph, renders it offscreen into a PNG, and builds a form
// that Qt Designer made with the library's widgets. Prints what it saw.
#include "ui_diagramform.h"

#include <kavgraph/KVObjsBox.h>

#include <QApplication>
#include <QImage>

#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: consumer GRAPHFILE OUT.png\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
        kavgraph::RegisterKVClass(kavgraph::TKVVertex::StaticClass());
        kavgraph::RegisterKVClass(kavgraph::TKVEdge::StaticClass());
        kavgraph::TKVStyleLibrary library;
        kavgraph::TKVDiagramBox box;
        box.Load(QString::fromLocal8Bit(argv[1]), &library);
        box.DataUpdate = kavgraph::duManual;
        box.resize(400, 300);
        const QImage image = box.RenderImage();
        if (image.isNull() || !image.save(QString::fromLocal8Bit(argv[2])))
            return 1;

        QWidget form;
        Ui::DiagramForm ui;
        ui.setupUi(&form);
        std::printf("rendered %dx%d; form holds %s, %s and %s\n", image.width(), image.height(),
                    ui.diagramBox->metaObject()->className(), ui.overviewBox->metaObject()->className(),
                    ui.printPreview->metaObject()->className());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "consumer: %s\n", e.what());
        return 1;
    }
    return 0;
}

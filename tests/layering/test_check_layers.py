#!/usr/bin/env python3
"""Shows that the layering check catches each kind of broken rule, on small made-up trees."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_layers  # noqa: E402


def tree(files, qt_targets=(), plain_targets=()):
    """Writes FILES into a temporary tree; QT_TARGETS / PLAIN_TARGETS are (source, object folder)
    pairs standing in for the compile database."""
    root = tempfile.mkdtemp()
    for rel, text in files.items():
        os.makedirs(os.path.join(root, os.path.dirname(rel)), exist_ok=True)
        with open(os.path.join(root, rel), "w") as f:
            f.write(text)
    compiled = {}
    for targets, qt in ((qt_targets, True), (plain_targets, False)):
        for source, objdir in targets:
            compiled.setdefault(os.path.join(root, source), []).append((f"{objdir}/x.o", qt))
    return root, compiled


def own(source):
    return (source, os.path.dirname(source) + "/CMakeFiles/t.dir")


class LayeringCheck(unittest.TestCase):
    def problems(self, files, qt=(), plain=()):
        root, compiled = tree(files, [own(s) if isinstance(s, str) else s for s in qt],
                              [own(s) if isinstance(s, str) else s for s in plain])
        return check_layers.check(root, compiled)

    def test_allowed(self):
        files = {
            "browser/support/L1Bar.cpp": '#include "browser/support/L1Bar.h"\n#include <QWidget>\n',
            "browser/support/L1Bar.h": "#include <QtWidgets/QProgressBar>\n",
            "browser/support/L1Plain.cpp": '#include "platform/core/Exception.h"\n#include <vector>\n',
            "browser/runtime/L1Db.cpp": '#include "browser/treediagram/L1Tree.h"\n',
            "browser/treediagram/L1Tree.h": '#include "browser/runtime/L1Db.h"\n',
            "browser/runtime/L1Db.h": "",
            "platform/core/Exception.h": "#include <unistd.h>\n",
            "tools/qmk/main.cpp": '#include "browser/runtime/L1Db.h"\n',
            "ornamo/Main.cpp": '#include "kavgraph/KVObjs.h"\n#include <QApplication>\n',
            "kavgraph/KVObjs.h": '#include "platform/ui/Canvas.h"\n',
            "platform/ui/Canvas.h": "#include <QPainter>\n",
        }
        self.assertEqual(self.problems(files, qt=["browser/support/L1Bar.cpp", "ornamo/Main.cpp"],
                                       plain=["browser/support/L1Plain.cpp", "browser/runtime/L1Db.cpp"]), [])

    def test_broken(self):
        cases = [
            # (files, Qt-linked sources, plain sources, expected words in the one problem)
            ({"platform/core/A.cpp": "#include <QString>\n"}, [], ["platform/core/A.cpp"], "Qt header"),
            ({"browser/store/A.h": "#include <qglobal.h>\n"}, [], [], "Qt header"),
            # A plain folder stays plain even when a target there links Qt.
            ({"browser/symbols/A.cpp": "#include <QList>\n"}, ["browser/symbols/A.cpp"], [], "Qt header"),
            # A library source compiled into a Qt test does not become Qt-side.
            ({"browser/runtime/A.cpp": "#include <QFile>\n"},
             [("browser/runtime/A.cpp", "tests/runtime/CMakeFiles/t.dir")], ["browser/runtime/A.cpp"], "Qt header"),
            ({"browser/support/L1Bar.cpp": "#include <QWidget>\n", "browser/support/L1Bar.h": "",
              "browser/support/L1misc.cpp": '#include "browser/support/L1Bar.h"\n'},
             ["browser/support/L1Bar.cpp"], ["browser/support/L1misc.cpp"], "Qt-side file"),
            # A header without a source of its own is Qt-side through what it includes.
            ({"browser/runtime/Help.h": '#include "platform/ui/Canvas.h"\n', "platform/ui/Canvas.h": "#include <QColor>\n",
              "browser/runtime/L1Db.cpp": '#include "browser/runtime/Help.h"\n'},
             [], ["browser/runtime/L1Db.cpp"], "Qt-side file"),
            ({"browser/app/Main.cpp": '#include "kavgraph/KVObjs.h"\n', "kavgraph/KVObjs.h": ""},
             ["browser/app/Main.cpp"], [], "browser code includes diagram code"),
            ({"kavgraph/KVObjs.cpp": '#include "browser/support/L1misc.h"\n', "browser/support/L1misc.h": ""},
             ["kavgraph/KVObjs.cpp"], [], "diagram code includes browser code"),
            ({"ornamo/Main.cpp": '#include "browser/store/L1StructuredStorage.h"\n',
              "browser/store/L1StructuredStorage.h": ""}, ["ornamo/Main.cpp"], [], "diagram code includes browser"),
            ({"browser/store/A.cpp": '#include "browser/symbols/B.h"\n', "browser/symbols/B.h": ""},
             [], ["browser/store/A.cpp"], "browser/store is below browser/symbols"),
            ({"platform/compoundfile/A.cpp": '#include "browser/support/L1misc.h"\n', "browser/support/L1misc.h": ""},
             [], ["platform/compoundfile/A.cpp"], "platform code includes browser"),
            ({"platform/core/A.cpp": '#include "platform/text/Ascii.h"\n', "platform/text/Ascii.h": ""},
             [], ["platform/core/A.cpp"], "platform/core is below platform/text"),
            ({"browser/runtime/A.cpp": '#include "browser/app/Main.h"\n', "browser/app/Main.h": ""},
             [], ["browser/runtime/A.cpp"], "below browser/app"),
            ({"browser/support/A.cpp": '#include "tests/fixtures/TempDir.h"\n', "tests/fixtures/TempDir.h": ""},
             [], ["browser/support/A.cpp"], "no program code may include"),
            ({"browser/store/A.cpp": "#include <sys/stat.h>\n"}, [], ["browser/store/A.cpp"], "operating-system header"),
        ]
        for files, qt, plain, expected in cases:
            with self.subTest(files=list(files)):
                found = self.problems(files, qt=qt, plain=plain)
                self.assertEqual(len(found), 1, found)
                self.assertIn(expected, found[0])


if __name__ == "__main__":
    unittest.main()

// The example editor's command line: help and wrong options are answered without a display.

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

struct EditorResult {
    int code;
    QByteArray out, err;
};

// The editor's command line is read before it needs a display.
TEST(EditorCommandLine, HelpAndWrongOptionsNeedNoDisplay)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    const auto run = [&](const QStringList &args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(EDITOR_EXE, args);
        p.waitForFinished(60000);
        return EditorResult{p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    };
    EditorResult r = run({"--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.startsWith("usage: ")) << r.out.toStdString();
    r = run({"--frobnicate"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("unknown option '--frobnicate'")) << r.err.toStdString();
}

} // namespace

#pragma once
// Running the kvgraph tool from the tests and reading the files it writes.

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

struct ToolResult {
    int code;
    QByteArray out, err;
};

inline ToolResult RunTool(const QStringList &args)
{
    QProcess p;
    p.start(KVGRAPH_EXE, args);
    p.waitForFinished(60000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

// Writes Bytes as the file Name in Dir and answers its path.
inline QString WriteFile(const QString &dir, const char *name, const QByteArray &bytes)
{
    const QString path = dir + "/" + name;
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
    return path;
}

inline QByteArray Read(const QString &name)
{
    QFile f(name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return f.readAll();
}

// The contract of "qmk storage": output formats, creation of missing parts, failures.

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace cfbtest;

namespace {

const std::string Qmk = std::string(VD_BINARY_DIR) + "/tools/qmk/qmk";

CommandResult Qmk_(const std::string &args, const std::string &stdinFile = "/dev/null")
{
    return Shell(Qmk + " storage " + args + " < '" + stdinFile + "'");
}

} // namespace

TEST(QmkStorage, PutMkdirLsCat)
{
    TempDir dir;
    const std::string file = "'" + dir / "f.cfb" + "'";
    WriteBytes(dir / "big", Pattern(5000));
    WriteBytes(dir / "small", "hello");
    ASSERT_EQ(Qmk_("put " + file + " a/b/big", dir / "big").status, 0);
    ASSERT_EQ(Qmk_("put " + file + " zz", dir / "small").status, 0);
    ASSERT_EQ(Qmk_("put " + file + " a/\xc3\x84rger", dir / "small").status, 0);
    ASSERT_EQ(Qmk_("mkdir " + file + " a/x/y").status, 0);
    ASSERT_EQ(Qmk_("mkdir " + file + " a/x").status, 0);
    // Replacing a stream with shorter contents.
    ASSERT_EQ(Qmk_("put " + file + " a/b/big", dir / "small").status, 0);

    CommandResult ls = Qmk_("ls " + file);
    EXPECT_EQ(ls.status, 0);
    // Depth first; siblings by length, then upper-cased.
    EXPECT_EQ(ls.out, "a\tstorage\n"
                      "a/b\tstorage\n"
                      "a/b/big\tstream\t5\n"
                      "a/x\tstorage\n"
                      "a/x/y\tstorage\n"
                      "a/\xc3\x84rger\tstream\t5\n"
                      "zz\tstream\t5\n");
    EXPECT_EQ(Qmk_("cat " + file + " a/b/big").out, "hello");
    ASSERT_EQ(Qmk_("put " + file + " a/b/big", dir / "big").status, 0);
    EXPECT_TRUE(Qmk_("cat " + file + " a/b/big").out == Pattern(5000));
}

TEST(QmkStorage, FailuresPrintTheStatusTextAndExitWithOne)
{
    TempDir dir;
    const std::string file = dir / "f.cfb";
    WriteBytes(dir / "small", "hello");
    WriteBytes(dir / "plain.txt", "plain text, long enough to be read as a header? no.\n");
    ASSERT_EQ(Qmk_("put '" + file + "' s", dir / "small").status, 0);

    CommandResult missing = Shell(Qmk + " storage cat '" + file + "' nosuch 2>&1 >/dev/null");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "nosuch could not be found.\n");
    CommandResult plain = Shell(Qmk + " storage put '" + dir / "plain.txt" + "' s < /dev/null 2>&1");
    EXPECT_EQ(plain.status, 1);
    EXPECT_EQ(plain.out, "The file " + dir / "plain.txt" + " is not a valid compound file.\n");
    EXPECT_EQ(ReadBytes(dir / "plain.txt"), "plain text, long enough to be read as a header? no.\n");
    CommandResult name = Shell(Qmk + " storage mkdir '" + file + "' 'a:b' 2>&1");
    EXPECT_EQ(name.status, 1);
    EXPECT_EQ(name.out, "The name a:b is not valid.\n");
    // put never replaces a storage, mkdir never a stream.
    ASSERT_EQ(Qmk_("mkdir '" + file + "' d").status, 0);
    CommandResult storage = Shell(Qmk + " storage put '" + file + "' d < /dev/null 2>&1");
    EXPECT_EQ(storage.status, 1);
    EXPECT_EQ(storage.out, "d already exists.\n");
    EXPECT_EQ(Shell(Qmk + " storage mkdir '" + file + "' s 2>&1").out, "s already exists.\n");
    EXPECT_EQ(Qmk_("ls '" + file + "'").out, "d\tstorage\ns\tstream\t5\n");
    EXPECT_EQ(Qmk_("cat '" + file + "'").status, 2);
    EXPECT_EQ(Qmk_("frobnicate '" + file + "'").status, 2);
}

#pragma once
// The runtime tests' sample library and helpers.

#include "tests/fixtures/QmkFixture.h"
#include "tests/fixtures/StreamFixture.h"

#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fixture {

inline const std::string kLongClass = "TVeryLongClassNameThatNeedsMapping"; // 34 characters

// Units Controls and Graphics; "Shared" is declared in both.
inline void FillSample(QmkDatabase &db)
{
    TL1OPascalSymbolTable_Unit *controls = db.table.AddUnit("Controls");
    TL1OPascalSymbolTable_Class *control = controls->AddClass("TControl", "TComponent");
    control->Properties.Add("Left");
    control->Properties.Add("Caption");
    control->Methods.Add("Paint");
    control->Events.Add("OnClick");
    controls->AddClass("TButton", "TControl")->Methods.Add("Click");
    controls->AddClass(kLongClass, "TControl");
    controls->AddInterface("IControl", "IUnknown")->Methods.Add("Paint");
    controls->AddRoutine("Shared");
    controls->AddRoutine("FindControl");
    TL1OPascalSymbolTable_Unit *graphics = db.table.AddUnit("Graphics");
    graphics->AddClass("TShape", "TGraphic");
    graphics->AddRoutine("Shared");
    graphics->AddRoutine("Beep");
    graphics->AddRoutine("Zap");

    // Every diagram is rooted at TObject; a class's own diagram holds its ancestors and
    // descendants, TObject's holds everything.
    for (bool h : {true, false}) {
        auto at = [h](int depth, int row) {
            return h ? TRect{depth * 100, row * 30, depth * 100 + 80, row * 30 + 20}
                     : TRect{row * 100, depth * 30, row * 100 + 80, depth * 30 + 20};
        };
        Node button{"TButton", at(2, 0), {}};
        Node longClass{kLongClass, at(2, 1), {}};
        db.AddDiagram("TObject",
                      {"TObject", at(0, 0), {{"TControl", at(1, 0), {button, longClass}}, {"TShape", at(1, 2), {}}}}, h);
        db.AddDiagram("TControl", {"TObject", at(0, 0), {{"TControl", at(1, 0), {button, longClass}}}}, h);
        db.AddDiagram("TButton", {"TObject", at(0, 0), {{"TControl", at(1, 0), {button}}}}, h);
        db.AddDiagram(kLongClass, {"TObject", at(0, 0), {{"TControl", at(1, 0), {longClass}}}}, h);
    }
}

inline std::string WriteSample(const TempDir &dir, const std::string &name = "sample.qmk",
                               const std::function<void(QmkDatabase &)> &change = {})
{
    QmkDatabase db;
    FillSample(db);
    if (change)
        change(db);
    std::string path = dir.File(name);
    db.Write(path);
    return path;
}

inline std::string FileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool Exists(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// While alive, files are accessed as a user who may read the file but not write it: the file
// is made read-only, and a superuser takes the file-system identity of "nobody".
class ReadOnlyAccess {
public:
    ReadOnlyAccess(const std::string &dir, const std::string &file)
    {
        chmod(dir.c_str(), 0755);
        chmod(file.c_str(), 0444);
        if (geteuid() == 0) {
            setfsgid(65534);
            setfsuid(65534);
            fSwitched = true;
        }
    }
    ~ReadOnlyAccess()
    {
        if (fSwitched) {
            setfsuid(0);
            setfsgid(0);
        }
    }
    ReadOnlyAccess(const ReadOnlyAccess &) = delete;
    ReadOnlyAccess &operator=(const ReadOnlyAccess &) = delete;

private:
    bool fSwitched = false;
};

} // namespace fixture

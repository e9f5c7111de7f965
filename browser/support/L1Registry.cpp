#include "browser/support/L1Registry.h"

#include "browser/support/L1DebugWindow.h"
#include "browser/support/L1basis.h"
#include "platform/ui/QtPrompts.h"
#include "platform/ui/Settings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {
QString Name(const std::string &name) { return QString::fromStdString(name); }
constexpr int kMissing = -10000;
} // namespace

bool TL1Registry::OpenKey(const std::string &key, bool canCreate)
{
    fSettings = OpenSettings(key);
    if (!fSettings)
        return false;
    if (!canCreate && fSettings->childKeys().isEmpty() && fSettings->childGroups().isEmpty()) {
        fSettings.reset();
        return false;
    }
    return true;
}

void TL1Registry::CloseKey() { fSettings.reset(); }

QSettings &TL1Registry::Settings() const
{
    if (!fSettings)
        throw Exception("No registry key is open.");
    return *fSettings;
}

bool TL1Registry::ValueExists(const std::string &name) const { return Settings().contains(Name(name)); }

int TL1Registry::ReadIntegerDef(const std::string &name, int defaultValue) const
{
    QVariant v = Settings().value(Name(name));
    bool ok = false;
    int i = v.toInt(&ok);
    return v.isValid() && ok ? i : defaultValue;
}

bool TL1Registry::ReadBoolDef(const std::string &name, bool defaultValue) const
{
    QVariant v = Settings().value(Name(name));
    bool ok = false;
    int i = v.toInt(&ok);
    if (v.isValid() && ok)
        return i != 0;
    return v.isValid() && (v.toString() == QLatin1String("true")) ? true : defaultValue;
}

std::string TL1Registry::ReadStringDef(const std::string &name, const std::string &defaultValue) const
{
    QVariant v = Settings().value(Name(name));
    return v.isValid() ? ToCp1252(v.toString()) : defaultValue;
}

void TL1Registry::WriteInteger(const std::string &name, int value) { Settings().setValue(Name(name), value); }

void TL1Registry::WriteBool(const std::string &name, bool value) { Settings().setValue(Name(name), value ? 1 : 0); }

void TL1Registry::WriteString(const std::string &name, const std::string &value)
{
    Settings().setValue(Name(name), FromCp1252(value));
}

void TL1Registry::DeleteValue(const std::string &name) { Settings().remove(Name(name)); }

void TL1Registry::Flush()
{
    Settings().sync();
    if (Settings().status() != QSettings::NoError)
        throw Exception("The settings file " + Settings().fileName().toStdString() + " could not be written.");
}

bool L1Form_SaveStateToRegistry(QWidget *form, const std::string &key)
{
    try {
        TL1Registry reg;
        if (!reg.OpenKey(key, true))
            return false;
        QRect r = form->isMaximized() ? form->normalGeometry() : form->geometry();
        reg.WriteInteger("Left", r.left());
        reg.WriteInteger("Top", r.top());
        reg.WriteInteger("Width", r.width());
        reg.WriteInteger("Height", r.height());
        reg.WriteBool("Maximized", form->isMaximized());
        reg.Flush();
        return true;
    } catch (const std::exception &e) {
        DebugWindow().WriteError("Exception raised internally in L1Form_SaveStateToRegistry: " + CrLf + CrLf +
                                 e.what());
        return false;
    }
}

bool L1Form_LoadStateFromRegistry(QWidget *form, const std::string &key)
{
    try {
        TL1Registry reg;
        if (!reg.OpenKey(key, false))
            return false;
        int left = reg.ReadIntegerDef("Left", kMissing);
        int top = reg.ReadIntegerDef("Top", kMissing);
        int width = reg.ReadIntegerDef("Width", kMissing);
        int height = reg.ReadIntegerDef("Height", kMissing);
        if (reg.ReadBoolDef("Maximized", false)) {
            form->setWindowState(form->windowState() | Qt::WindowMaximized);
            return true;
        }
        QScreen *screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
        QSize screenSize = screen ? screen->size() : QSize(1024, 768);
        QRect r = form->geometry();
        if (left != kMissing)
            r.moveLeft(L1Clamp(0, left, screenSize.width() - 100));
        if (top != kMissing)
            r.moveTop(L1Clamp(0, top, screenSize.height() - 100));
        if (width != kMissing)
            r.setWidth(L1Max(width, 100));
        if (height != kMissing)
            r.setHeight(L1Max(height, 100));
        form->setGeometry(r);
        return true;
    } catch (const std::exception &e) {
        DebugWindow().WriteError("Exception raised internally in L1Form_LoadStateFromRegistry: " + CrLf + CrLf +
                                 e.what());
        return false;
    }
}

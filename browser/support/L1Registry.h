#pragma once
// Registry access for the browser (over the settings store) and form placement.

#include <QSettings>

#include <memory>
#include <string>

class QWidget;

class TL1Registry {
public:
    // Opens a key such as "\Software\Vardelin\QuillmarkBrowser\Settings". Without create, a key
    // that holds no value counts as missing and gives false.
    bool OpenKey(const std::string &key, bool canCreate);
    void CloseKey();
    bool ValueExists(const std::string &name) const;

    int ReadIntegerDef(const std::string &name, int defaultValue) const;
    bool ReadBoolDef(const std::string &name, bool defaultValue) const;
    std::string ReadStringDef(const std::string &name, const std::string &defaultValue) const;
    void WriteInteger(const std::string &name, int value);
    void WriteBool(const std::string &name, bool value);
    void WriteString(const std::string &name, const std::string &value);
    void DeleteValue(const std::string &name);
    // Flushes to disk; raises when the store cannot be written.
    void Flush();

private:
    QSettings &Settings() const;
    std::unique_ptr<QSettings> fSettings;
};

bool L1Form_SaveStateToRegistry(QWidget *form, const std::string &key);
bool L1Form_LoadStateFromRegistry(QWidget *form, const std::string &key);

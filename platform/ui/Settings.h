#pragma once
// The current user's registry, stood in for by QSettings (INI files in the user's config folder).
// A key "\Software\ORG\APP\GROUP..." maps to organisation ORG, application APP, group "GROUP/...".

#include <QSettings>
#include <QString>

#include <memory>
#include <string>

struct SettingsKey {
    QString organisation;
    QString application;
    QString group;  // "" for the application's root
};

// Splits a registry-style key; leading "\" and "Software\" are optional.
SettingsKey ParseSettingsKey(const std::string &key);

// The settings object for a key, positioned inside its group. Returns nullptr for a key that does not
// name an organisation and an application.
std::unique_ptr<QSettings> OpenSettings(const std::string &key);

// True when the key's group holds any value or subgroup.
bool SettingsKeyExists(const std::string &key);

// Points every QSettings of this process at a folder (tests; never the user's real settings).
void UseSettingsFolder(const QString &folder);

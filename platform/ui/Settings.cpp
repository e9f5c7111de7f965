#include "platform/ui/Settings.h"

#include <QStringList>

SettingsKey ParseSettingsKey(const std::string &key)
{
    QStringList parts = QString::fromStdString(key).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.front().compare(QLatin1String("Software"), Qt::CaseInsensitive) == 0)
        parts.pop_front();
    SettingsKey result;
    if (parts.size() >= 1)
        result.organisation = parts.takeFirst();
    if (parts.size() >= 1)
        result.application = parts.takeFirst();
    result.group = parts.join(QLatin1Char('/'));
    return result;
}

std::unique_ptr<QSettings> OpenSettings(const std::string &key)
{
    SettingsKey k = ParseSettingsKey(key);
    if (k.organisation.isEmpty() || k.application.isEmpty())
        return nullptr;
    auto settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, k.organisation,
                                                k.application);
    if (!k.group.isEmpty())
        settings->beginGroup(k.group);
    return settings;
}

bool SettingsKeyExists(const std::string &key)
{
    auto settings = OpenSettings(key);
    return settings && !settings->allKeys().isEmpty();
}

void UseSettingsFolder(const QString &folder)
{
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

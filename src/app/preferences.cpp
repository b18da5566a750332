#include "app/preferences.h"

#include <QSettings>

namespace korvane {

SettingsPreferences::SettingsPreferences() : settings_(std::make_unique<QSettings>()) {}

SettingsPreferences::SettingsPreferences(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

SettingsPreferences::~SettingsPreferences() = default;

QString SettingsPreferences::value(const QString& key) const {
    return settings_->value(key).toString();
}

void SettingsPreferences::setValue(const QString& key, const QString& value) {
    settings_->setValue(key, value);
    // Written at once: the program may be ended without its destructors running.
    settings_->sync();
}

} // namespace korvane

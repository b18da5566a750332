#pragma once

#include "form/platform.h"

#include <QString>

#include <memory>

class QSettings;

namespace korvane {

// Preferences kept with QSettings: the user's own settings of the program, or a file of its own
// (an INI file, so that tests never touch the user's settings).
class SettingsPreferences : public Preferences {
public:
    SettingsPreferences();
    explicit SettingsPreferences(const QString& iniFile);
    ~SettingsPreferences() override;
    SettingsPreferences(const SettingsPreferences&) = delete;
    SettingsPreferences& operator=(const SettingsPreferences&) = delete;

    QString value(const QString& key) const override;
    void setValue(const QString& key, const QString& value) override;

private:
    std::unique_ptr<QSettings> settings_;
};

} // namespace korvane

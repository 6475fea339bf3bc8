#pragma once

#include "core/settings/settings_store.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace varno {

class SpinEdit;

// Puts stored values into controls through their ordinary setters; a missing value gives the schema's
// default, which is the control's first state. A control whose content changes runs its change handler,
// which stores the value straight back.
void loadText(SettingsStore& store, const SettingKey& key, QLineEdit* edit);
void loadText(SettingsStore& store, const SettingKey& key, QComboBox* box);
void loadNumber(SettingsStore& store, const SettingKey& key, SpinEdit* spin);
void loadFlag(SettingsStore& store, const SettingKey& key, QCheckBox* box);

// Turns a radio button on or off. Off leaves its group without a selection, which Qt's exclusive
// groups do not allow by themselves.
void setRadioLoaded(QRadioButton* button, bool on);

} // namespace varno

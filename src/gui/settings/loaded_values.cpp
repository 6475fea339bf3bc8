#include "gui/settings/loaded_values.h"

#include "gui/app/spin_edit.h"
#include "platform/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace varno {

void loadText(SettingsStore& store, const SettingKey& key, QLineEdit* edit)
{
    edit->setText(toQ(store.ReadString(key)));
    edit->setCursorPosition(0);
}

void loadText(SettingsStore& store, const SettingKey& key, QComboBox* box)
{
    box->setEditText(toQ(store.ReadString(key)));
}

void loadNumber(SettingsStore& store, const SettingKey& key, SpinEdit* spin)
{
    spin->setValue(store.ReadInteger(key));
}

void loadFlag(SettingsStore& store, const SettingKey& key, QCheckBox* box)
{
    box->setChecked(store.ReadBool(key));
}

void setRadioLoaded(QRadioButton* button, bool on)
{
    if (on || !button->isChecked()) {
        button->setChecked(on);
        return;
    }
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

} // namespace varno

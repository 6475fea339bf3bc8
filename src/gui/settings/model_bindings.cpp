#include "gui/settings/model_bindings.h"

#include "core/settings/integer_text.h"
#include "gui/app/error_report.h"
#include "gui/app/spin_edit.h"
#include "gui/settings/loaded_values.h"
#include "platform/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace varno {

namespace {

std::string flagText(bool on)
{
    return on ? "1" : "0";
}

// A text put in from elsewhere shows from its start, as a loaded one does.
void showText(QLineEdit* edit, const std::string& text)
{
    edit->setText(toQ(text));
    edit->setCursorPosition(0);
}

bool isOn(const std::string& text)
{
    return parseStoredInteger(text).value_or(0) != 0;
}

} // namespace

ModelBindings::ModelBindings(ServerModel& model, QObject* parent)
    : QObject(parent)
    , m_model(&model)
{
    m_listener = m_model->listen([this](const SettingKey& key) { modelChanged(key); });
}

ModelBindings::~ModelBindings()
{
    m_model->unlisten(m_listener);
}

void ModelBindings::rebind(ServerModel& model)
{
    m_model->unlisten(m_listener);
    m_model = &model;
    m_listener = m_model->listen([this](const SettingKey& key) { modelChanged(key); });
    m_showing = true;
    for (const Binding& binding : m_bindings)
        binding.show(m_model->text(*binding.key));
    m_showing = false;
}

void ModelBindings::add(Binding binding)
{
    // The control starts at the schema's default: the value a model that never loaded anything holds.
    m_showing = true;
    binding.show(m_model->text(*binding.key));
    m_showing = false;
    m_bindings.push_back(std::move(binding));
}

void ModelBindings::whenChangedByOperator(const std::function<void()>& store)
{
    if (!m_showing)
        runHandler(store);
}

void ModelBindings::text(QLineEdit* edit, const SettingKey& key, std::function<void(SettingsStore&)> load)
{
    if (!load)
        load = [edit, &key](SettingsStore& store) { loadText(store, key, edit); };
    add({edit, &key, Kind::Text, [edit] { return toStd(edit->text()); },
         [edit](const std::string& text) { showText(edit, text); }, std::move(load)});
    connect(edit, &QLineEdit::textChanged, this,
            [this, edit, &key] { whenChangedByOperator([&] { m_model->storeText(key, toStd(edit->text())); }); });
}

void ModelBindings::text(QComboBox* box, const SettingKey& key)
{
    add({box, &key, Kind::Text, [box] { return toStd(box->currentText()); },
         [box](const std::string& text) { box->setEditText(toQ(text)); },
         [box, &key](SettingsStore& store) { loadText(store, key, box); }});
    connect(box, &QComboBox::editTextChanged, this,
            [this, box, &key] { whenChangedByOperator([&] { m_model->storeText(key, toStd(box->currentText())); }); });
}

void ModelBindings::number(SpinEdit* spin, const SettingKey& key, std::function<void(SettingsStore&)> load)
{
    if (!load)
        load = [spin, &key](SettingsStore& store) { loadNumber(store, key, spin); };
    add({spin, &key, Kind::Number, [spin] { return toDecimal(spin->value()); },
         [spin, &key](const std::string& text) {
             spin->setValue(parseStoredInteger(text).value_or(key.defaultInteger()));
         },
         std::move(load)});
    connect(spin, &SpinEdit::changed, this,
            [this, spin, &key] { whenChangedByOperator([&] { m_model->storeInteger(key, spin->value()); }); });
}

void ModelBindings::flag(QCheckBox* box, const SettingKey& key)
{
    add({box, &key, Kind::Flag, [box] { return flagText(box->isChecked()); },
         [box](const std::string& text) { box->setChecked(isOn(text)); },
         [box, &key](SettingsStore& store) { loadFlag(store, key, box); }});
    connect(box, &QCheckBox::toggled, this,
            [this, box, &key] { whenChangedByOperator([&] { m_model->storeFlag(key, box->isChecked()); }); });
}

void ModelBindings::heldText(QLineEdit* edit, const SettingKey& key)
{
    add({edit, &key, Kind::HeldText, [edit] { return toStd(edit->text()); },
         [edit](const std::string& text) { showText(edit, text); },
         [edit, &key](SettingsStore& store) { edit->setText(toQ(store.ReadString(key))); }});
    connect(edit, &QLineEdit::textChanged, this,
            [this, edit, &key] { whenChangedByOperator([&] { m_model->holdText(key, toStd(edit->text())); }); });
}

void ModelBindings::heldFlag(QCheckBox* box, const SettingKey& key)
{
    add({box, &key, Kind::HeldFlag, [box] { return flagText(box->isChecked()); },
         [box](const std::string& text) { box->setChecked(isOn(text)); },
         [box, &key](SettingsStore& store) { box->setChecked(store.ReadBool(key)); }});
    connect(box, &QCheckBox::toggled, this,
            [this, box, &key] { whenChangedByOperator([&] { m_model->holdText(key, flagText(box->isChecked())); }); });
}

void ModelBindings::radioPair(QRadioButton* first, const SettingKey& firstKey, QRadioButton* second,
                              const SettingKey& secondKey)
{
    const auto bindOne = [this](QRadioButton* button, const SettingKey& key, const SettingKey& otherKey) {
        add({button, &key, Kind::Custom, [button] { return flagText(button->isChecked()); },
             [button](const std::string& text) { setRadioLoaded(button, isOn(text)); },
             [button, &key](SettingsStore& store) { setRadioLoaded(button, store.ReadBool(key)); }});
        connect(button, &QRadioButton::toggled, this, [this, button, &key, &otherKey](bool on) {
            if (!on)
                return;
            whenChangedByOperator([&] {
                m_model->storeFlag(key, button->isChecked());
                m_model->storeFlag(otherKey, false);
            });
        });
    };
    bindOne(first, firstKey, secondKey);
    bindOne(second, secondKey, firstKey);
}

void ModelBindings::custom(QObject* control, const SettingKey& key, std::function<std::string()> value,
                           std::function<void(const std::string&)> show, std::function<void(SettingsStore&)> load)
{
    add({control, &key, Kind::Custom, std::move(value), std::move(show), std::move(load)});
}

void ModelBindings::load(SettingsStore& store, const SettingKey& key)
{
    loadInto(store, key, key);
}

void ModelBindings::loadInto(SettingsStore& store, const SettingKey& stored, const SettingKey& boundKey)
{
    for (const Binding& binding : m_bindings) {
        if (!sameKey(*binding.key, boundKey))
            continue;
        if (sameKey(stored, boundKey)) {
            binding.load(store);
        } else {
            // The stored value of one key shown by the control of another: as that control's own loaded value.
            m_showing = false;
            binding.show(store.ReadString(stored));
        }
        // A control filled without its change signal (a list, a quiet selection) still shows what is in effect.
        if (const std::string shown = binding.value(); shown != m_model->text(boundKey))
            m_model->holdText(boundKey, shown);
    }
}

void ModelBindings::modelChanged(const SettingKey& key)
{
    for (const Binding& binding : m_bindings) {
        if (!sameKey(*binding.key, key))
            continue;
        const std::string text = m_model->text(key);
        if (binding.value() == text)
            continue;
        m_showing = true;
        binding.show(text);
        m_showing = false;
    }
}

} // namespace varno

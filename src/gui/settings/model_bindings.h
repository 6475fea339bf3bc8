#pragma once

#include "core/settings/server_model.h"

#include <QObject>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace varno {

class SpinEdit;

// Ties the controls of the pages and dialogs to the keys of one server model, one line per control. A binding
// gives its control the schema's default as first value, stores each change of the control at once (or holds it,
// for a dialog's field that its OK stores), puts a value the model got from elsewhere into the control, and
// loads the stored value into the control for the start-up loader, whose write-back is the control's own change.
class ModelBindings : public QObject {
    Q_OBJECT
public:
    enum class Kind { Text, Number, Flag, HeldText, HeldFlag, Custom };

    struct Binding {
        QObject* control = nullptr;
        const SettingKey* key = nullptr;
        Kind kind = Kind::Text;
        std::function<std::string()> value;           // what the control shows, as the model's text
        std::function<void(const std::string&)> show; // the model's text into the control
        std::function<void(SettingsStore&)> load;     // the loader's step for this control
    };

    explicit ModelBindings(ServerModel& model, QObject* parent = nullptr);
    ~ModelBindings() override;

    ServerModel& model() const { return *m_model; }
    // Ties every control to another server's model and shows its values, storing nothing; the loader then puts
    // that server's stored values in as at the start.
    void rebind(ServerModel& model);

    void text(QLineEdit* edit, const SettingKey& key, std::function<void(SettingsStore&)> load = {});
    void text(QComboBox* box, const SettingKey& key);
    // load: the loader's own reading where it differs from the plain one.
    void number(SpinEdit* spin, const SettingKey& key, std::function<void(SettingsStore&)> load = {});
    void flag(QCheckBox* box, const SettingKey& key);
    // In effect as the operator types; stored by the dialog's OK.
    void heldText(QLineEdit* edit, const SettingKey& key);
    // Shown and in effect, stored only by an explicit store (a disabled box that Save Settings keeps).
    void heldFlag(QCheckBox* box, const SettingKey& key);
    // Two radio buttons of one group, each with its key: the one switched on stores its state and the other
    // key's 0, as its click does; the loader sets each from its key, either may end up off.
    void radioPair(QRadioButton* first, const SettingKey& firstKey, QRadioButton* second, const SettingKey& secondKey);
    // A control whose value the page keeps itself (lists, a box holding two keys): value, show and load are its
    // own, and the page stores through the model.
    void custom(QObject* control, const SettingKey& key, std::function<std::string()> value,
                std::function<void(const std::string&)> show, std::function<void(SettingsStore&)> load);

    // The loader's step for one key: each control bound to it takes the stored value through its setter.
    void load(SettingsStore& store, const SettingKey& key);
    // The value of one key into the controls bound to another (the Startup stage's pure-server value goes into
    // the box that stores PS).
    void loadInto(SettingsStore& store, const SettingKey& stored, const SettingKey& boundKey);

    const std::vector<Binding>& all() const { return m_bindings; }

    // Runs a control's store unless the binding itself is showing a model value in it.
    void whenChangedByOperator(const std::function<void()>& store);

private:
    void add(Binding binding);
    void modelChanged(const SettingKey& key);

    ServerModel* m_model;
    int m_listener = 0;
    bool m_showing = false;
    std::vector<Binding> m_bindings;
};

} // namespace varno

// The ties of the windows' controls to the server model: one per stored value a window shows.

#include "core/settings/server_model.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/spin_edit.h"
#include "gui/settings/advanced_page.h"
#include "gui/settings/model_bindings.h"
#include "gui/settings/startup_page.h"
#include "support/gui_fixture.h"

#include <QComboBox>
#include <QLineEdit>

#include <set>

using namespace varno;
using namespace varno::test;

namespace {

std::string nameOf(const SettingKey& key)
{
    return std::string(key.section) + "/" + std::string(key.name);
}

} // namespace

class BindingsTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        createWindows(false, false);
    }

    ModelBindings& bindings() { return *forms().bindings; }
};

TEST_F(BindingsTest, EveryControlStartsAtItsSchemaDefaultAndEveryShownValueIsBound)
{
    const ServerModel fresh([]() -> std::unique_ptr<SettingsStore> { return nullptr; });
    std::set<std::string> bound;
    for (const ModelBindings::Binding& binding : bindings().all()) {
        const SettingKey& key = *binding.key;
        SCOPED_TRACE(binding.control->objectName().toStdString() + " " + nameOf(key));
        EXPECT_TRUE(findSetting(key.section, key.name)) << "not in the schema";
        EXPECT_EQ(binding.value(), fresh.text(key));
        bound.insert(nameOf(key));
    }
    // What no control shows: the loader's flag, the installation folder and the server's profile.
    const std::set<std::string> unbound{nameOf(kRestoreFlags), nameOf(kInstallDir), nameOf(kProfileName),
                                        nameOf(kProfileRemote)};
    for (const SettingKey& key : allSettings())
        EXPECT_NE(bound.contains(nameOf(key)), unbound.contains(nameOf(key))) << nameOf(key);
}

TEST_F(BindingsTest, AControlShowsWhatTheModelGetsFromElsewhereWithoutStoringItAgain)
{
    ServerModel& model = bindings().model();
    StartupPage& startup = *forms().Form1->startupPage;
    model.holdText(kServerName, "Held");
    EXPECT_EQ(startup.ServerNameEdit->text(), QStringLiteral("Held"));
    EXPECT_FALSE(settings->exists(kServerName.section, kServerName.name));

    model.storeList(kBanIPList, {"10.1.1.1", "10.2.*"});
    EXPECT_EQ(forms().Form1->advancedPage->banList(), (std::vector<std::string>{"10.1.1.1", "10.2.*"}));
    EXPECT_EQ(settings->read(kBanIPList.section, kBanIPList.name), "10.1.1.1,10.2.*");

    // The operator's edit reaches the model and the store at once.
    startup.NetPort->setValue(29876);
    EXPECT_EQ(model.integer(kNetPort), 29876);
    EXPECT_EQ(settings->read(kNetPort.section, kNetPort.name), "29876");
    startup.GameDirCombo->setEditText(QStringLiteral("mymod"));
    EXPECT_EQ(model.text(kGameDir), "mymod");
}

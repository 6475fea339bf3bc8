#include "support/temp_settings.h"

#include "platform/qt_text.h"
#include "platform/settings_factory.h"

#include <QFile>

namespace varno::test {

TempSettings::TempSettings()
    : m_file(m_dir.filePath(QStringLiteral("settings.ini")))
{
    setSettingsFile(toStd(m_file));
    // The program's own data folder (the installation folder on Linux) goes here too, and so do those of
    // the programs the test starts.
    m_oldDataHome = qgetenv("XDG_DATA_HOME");
    m_hadDataHome = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("data"))));
}

TempSettings::~TempSettings()
{
    setSettingsFile({});
    if (m_hadDataHome)
        qputenv("XDG_DATA_HOME", m_oldDataHome);
    else
        qunsetenv("XDG_DATA_HOME");
}

std::string TempSettings::read(std::string_view section, std::string_view name, std::string_view fallback) const
{
    return createSettingsStore()->ReadString(section, name, fallback);
}

void TempSettings::write(std::string_view section, std::string_view name, std::string_view text) const
{
    createSettingsStore()->WriteString(section, name, text);
}

bool TempSettings::exists(std::string_view section, std::string_view name) const
{
    return read(section, name, "\x01missing") != "\x01missing";
}

QByteArray TempSettings::contents() const
{
    QFile file(m_file);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace varno::test

#pragma once

#include <QString>
#include <QTemporaryDir>

#include <string>

namespace varno::test {

// A temporary folder whose settings file every store in this test uses; the default location is
// restored when it goes.
class TempSettings {
public:
    TempSettings();
    ~TempSettings();
    TempSettings(const TempSettings&) = delete;
    TempSettings& operator=(const TempSettings&) = delete;

    QString dir() const { return m_dir.path(); }
    QString file() const { return m_file; }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Reads and writes straight through a fresh store.
    std::string read(std::string_view section, std::string_view name, std::string_view fallback = "<missing>") const;
    void write(std::string_view section, std::string_view name, std::string_view text) const;
    bool exists(std::string_view section, std::string_view name) const;
    // The settings file as text.
    QByteArray contents() const;

private:
    QTemporaryDir m_dir;
    QString m_file;
    QByteArray m_oldDataHome;
    bool m_hadDataHome = false;
};

} // namespace varno::test

#include "support/fake_terminal.h"

#include <QDir>
#include <QFile>

namespace varno::test {

namespace {

void apply(const char* name, const QByteArray& value)
{
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
}

} // namespace

void installFakeTerminal(const QString& folder, const QString& name, const QString& recordPath, bool attaches)
{
    QFile script(QDir(folder).filePath(name));
    if (!script.open(QIODevice::WriteOnly))
        return;
    // After "-e": tmux -L SOCKET attach -t TARGET.
    script.write("#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" > '" + recordPath.toLocal8Bit() + "'\n");
    if (attaches)
        script.write("exec script -qec \"tmux -L '$4' attach -t '$7'\" /dev/null\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

ScopedEnvironment::~ScopedEnvironment()
{
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
        apply(it->first, it->second);
}

void ScopedEnvironment::set(const char* name, const QByteArray& value)
{
    m_saved.emplace_back(name, qgetenv(name));
    apply(name, value);
}

} // namespace varno::test

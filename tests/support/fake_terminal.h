#pragma once

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

namespace varno::test {

// A terminal program for tests, named name in folder: it writes its arguments, one per line, to recordPath and, when
// attaches, runs the "-e tmux -L SOCKET attach -t TARGET" it was given under a pseudo-terminal of its own, as a
// terminal window would.
void installFakeTerminal(const QString& folder, const QString& name, const QString& recordPath, bool attaches);

// Environment variables set for as long as the object lives; a null value unsets one.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    void set(const char* name, const QByteArray& value);

private:
    std::vector<std::pair<const char*, QByteArray>> m_saved;
};

} // namespace varno::test

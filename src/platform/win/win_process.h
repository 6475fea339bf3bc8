#pragma once

#include <cstdint>
#include <string>

namespace varno {

// Starts a command line (no separate program name) in a new console of its own with a normally
// shown window, in the current folder, waits up to waitMs for it and releases its handles. The
// result is its exit code taken as a signed number: 259 (STILL_ACTIVE) while it runs, -1 when it could
// not be started.
long startInNewConsole(const std::string& commandLine, unsigned waitMs);

// When the process with that id was created (FILETIME ticks), which tells it from a later process given the same
// id; 0 when it is gone or may not be asked.
std::uint64_t processCreationTime(unsigned long processId);

// A process started in a new console whose handle is kept, so that its end and exit code can be learnt
// later (the watchdog's poll).
class WinProcess {
public:
    WinProcess() = default;
    ~WinProcess();
    WinProcess(const WinProcess&) = delete;
    WinProcess& operator=(const WinProcess&) = delete;

    // Starts as startInNewConsole does; false when it could not be started.
    bool start(const std::string& commandLine);
    // Takes on the running process with that id; false when it is gone or may not be waited for.
    bool open(unsigned long processId);
    unsigned long id() const;
    // When it was created (FILETIME ticks); 0 without a process.
    std::uint64_t creationTime() const;
    bool started() const { return m_process != nullptr; }
    // Waits up to waitMs; the exit code as a signed number, 259 (STILL_ACTIVE) while it runs, -1 without a process.
    long wait(unsigned waitMs) const;
    // Ends it with the given exit code.
    bool terminate(unsigned exitCode) const;

private:
    void* m_process = nullptr;
};

} // namespace varno

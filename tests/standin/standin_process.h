#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varno::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // Writes a file below the folder, creating its parent folders.
    void writeFile(const std::filesystem::path& relative, std::string_view text) const;

private:
    std::filesystem::path m_path;
};

enum class StandinInput { Pipe, DevNull };

// The stand-in server running as a child process in a folder of its own, listening on a free loopback port.
// Whatever happens in the test, the destructor ends and reaps the process.
class StandinProcess {
public:
    static constexpr std::chrono::milliseconds kDefaultWait{5000};

    // Starts the server in `workDir` with "+set net_ip 127.0.0.1 +set net_port 0" before `arguments`, and waits
    // until it reports its port. Throws std::runtime_error when it does not start.
    StandinProcess(const std::filesystem::path& workDir, const std::vector<std::string>& arguments,
                   StandinInput input = StandinInput::Pipe);
    ~StandinProcess();
    StandinProcess(const StandinProcess&) = delete;
    StandinProcess& operator=(const StandinProcess&) = delete;

    int port() const { return m_port; }

    // Types a line on the server's console.
    void sendLine(std::string_view line);
    void closeInput();

    // Waits until `text` appears in the output after the previous match; true when it did. A match moves the
    // search start behind it.
    bool waitForOutput(std::string_view text, std::chrono::milliseconds timeout = kDefaultWait);
    // Everything the server printed so far.
    const std::string& output() const { return m_output; }

    void sendSignal(int signalNumber);
    // The exit code once the process ended within the timeout (128 + signal number when a signal ended it).
    std::optional<int> waitForExit(std::chrono::milliseconds timeout = kDefaultWait);

private:
    // Reads what is there, waiting at most until the deadline; false on end of output or timeout.
    bool readSome(std::chrono::steady_clock::time_point deadline);
    void reap();

    pid_t m_pid = -1;
    int m_input = -1;
    int m_outputFd = -1;
    std::string m_output;
    std::size_t m_searchFrom = 0;
    int m_port = 0;
    std::optional<int> m_exitCode;
};

} // namespace varno::test

#include "standin/standin_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <stdexcept>

namespace varno::test {

namespace {

std::runtime_error systemError(const std::string& what)
{
    return std::runtime_error(what + ": " + std::strerror(errno));
}

} // namespace

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "q3standin-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw systemError("mkdtemp");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

void TempDir::writeFile(const std::filesystem::path& relative, std::string_view text) const
{
    const std::filesystem::path file = m_path / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream stream(file, std::ios::binary);
    stream.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!stream)
        throw std::runtime_error("cannot write " + file.string());
}

StandinProcess::StandinProcess(const std::filesystem::path& workDir, const std::vector<std::string>& arguments,
                               StandinInput input)
{
    std::vector<std::string> argv{Q3STANDIN_PATH, "+set", "net_ip", "127.0.0.1", "+set", "net_port", "0"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> argvPointers;
    for (std::string& argument : argv)
        argvPointers.push_back(argument.data());
    argvPointers.push_back(nullptr);

    int inputPipe[2] = {-1, -1};
    int outputPipe[2] = {-1, -1};
    if (::pipe2(inputPipe, O_CLOEXEC) != 0 || ::pipe2(outputPipe, O_CLOEXEC) != 0)
        throw systemError("pipe2");

    m_pid = ::fork();
    if (m_pid < 0)
        throw systemError("fork");
    if (m_pid == 0) {
        int stdinFd = inputPipe[0];
        if (input == StandinInput::DevNull)
            stdinFd = ::open("/dev/null", O_RDONLY);
        if (::chdir(workDir.c_str()) != 0 || ::dup2(stdinFd, STDIN_FILENO) < 0 ||
            ::dup2(outputPipe[1], STDOUT_FILENO) < 0 || ::dup2(outputPipe[1], STDERR_FILENO) < 0)
            ::_exit(127);
        ::execv(argvPointers[0], argvPointers.data());
        ::_exit(127);
    }
    ::close(inputPipe[0]);
    ::close(outputPipe[1]);
    m_input = inputPipe[1];
    m_outputFd = outputPipe[0];
    if (input == StandinInput::DevNull)
        closeInput();

    const std::regex portLine("Opening IP socket: [0-9.]+:([0-9]+)\n");
    const auto deadline = std::chrono::steady_clock::now() + kDefaultWait;
    std::smatch match;
    while (!std::regex_search(m_output, match, portLine)) {
        if (!readSome(deadline)) {
            reap();
            throw std::runtime_error("q3standin did not open its port; it printed:\n" + m_output);
        }
    }
    m_port = std::stoi(match[1].str());
    m_searchFrom = static_cast<std::size_t>(match.position(0) + match.length(0));
}

StandinProcess::~StandinProcess()
{
    reap();
    closeInput();
    if (m_outputFd >= 0)
        ::close(m_outputFd);
}

void StandinProcess::sendLine(std::string_view line)
{
    const std::string text = std::string(line) + '\n';
    if (m_input < 0 || ::write(m_input, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        throw systemError("writing to q3standin's console");
}

void StandinProcess::closeInput()
{
    if (m_input >= 0)
        ::close(m_input);
    m_input = -1;
}

bool StandinProcess::waitForOutput(std::string_view text, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        const std::size_t found = m_output.find(text, m_searchFrom);
        if (found != std::string::npos) {
            m_searchFrom = found + text.size();
            return true;
        }
        if (!readSome(deadline))
            return false;
    }
}

void StandinProcess::sendSignal(int signalNumber)
{
    if (!m_exitCode)
        ::kill(m_pid, signalNumber);
}

std::optional<int> StandinProcess::waitForExit(std::chrono::milliseconds timeout)
{
    if (m_exitCode)
        return m_exitCode;
    // The output pipe closes when the process ends; until then keep reading it so that it cannot block.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (readSome(deadline)) {
    }
    if (std::chrono::steady_clock::now() >= deadline)
        return std::nullopt;
    int status = 0;
    if (::waitpid(m_pid, &status, 0) != m_pid)
        return std::nullopt;
    m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return m_exitCode;
}

bool StandinProcess::readSome(std::chrono::steady_clock::time_point deadline)
{
    while (true) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd fd{m_outputFd, POLLIN, 0};
        const int ready = ::poll(&fd, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        char chunk[4096];
        const ssize_t count = ::read(m_outputFd, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        m_output.append(chunk, static_cast<std::size_t>(count));
        return true;
    }
}

void StandinProcess::reap()
{
    if (m_pid <= 0 || m_exitCode)
        return;
    ::kill(m_pid, SIGKILL);
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_exitCode = 128 + SIGKILL;
}

} // namespace varno::test

// Stands in for the game in the launcher tests. It reports how it was started (process id, command line,
// current folder: one line each) to the file named by VARNO_PROBE_REPORT, then ends with the exit code
// in VARNO_PROBE_EXIT, or, for "wait", stays until the event named by VARNO_PROBE_EVENT is set.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

// Never outlives a test that forgot it by much.
constexpr DWORD kLongestWaitMs = 30000;

std::string environmentText(const char* name)
{
    char buffer[MAX_PATH * 2] = {};
    const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof(buffer));
    return length < sizeof(buffer) ? std::string(buffer, length) : std::string();
}

bool writeReport(const std::string& path, const std::string& text)
{
    // Written whole under another name first, so that the test never reads half a report.
    const std::string partial = path + ".part";
    const HANDLE file =
        CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

} // namespace

int main()
{
    const std::string reportPath = environmentText("VARNO_PROBE_REPORT");
    if (reportPath.empty())
        return 100;
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    const std::string report = std::to_string(GetCurrentProcessId()) + "\n" + GetCommandLineA() + "\n" + folder + "\n";
    if (!writeReport(reportPath, report))
        return 101;

    const std::string exitText = environmentText("VARNO_PROBE_EXIT");
    if (exitText == "wait") {
        const HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, environmentText("VARNO_PROBE_EVENT").c_str());
        if (quit)
            WaitForSingleObject(quit, kLongestWaitMs);
        return 0;
    }
    ExitProcess(static_cast<UINT>(std::atoi(exitText.c_str())));
}

#include "platform/win/win_run_record.h"

#include <windows.h>

namespace varno {

namespace {

// Longer than any record: a longer file is not one.
constexpr DWORD kLongestRecord = 64;

std::string inFolder(const std::string& folder, const std::string& fileName)
{
    return folder + "\\" + fileName;
}

std::optional<RunRecord> readRecordFile(const std::string& path)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string text(kLongestRecord + 1, '\0');
    DWORD read = 0;
    const bool ok = ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    if (!ok || read > kLongestRecord)
        return std::nullopt;
    text.resize(read);
    return parseRunRecord(text);
}

// The folder and any missing folders above it.
bool makeFolder(const std::string& folder)
{
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::size_t slash = folder.find_last_of("\\/");
    if (slash != std::string::npos && slash > 0 && folder[slash - 1] != ':' && !makeFolder(folder.substr(0, slash)))
        return false;
    return CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

} // namespace

std::optional<RunRecord> readRunRecord(const RunRecordPlace& place)
{
    if (place.folder.empty())
        return std::nullopt;
    return readRecordFile(inFolder(place.folder, runRecordFileName(place.profile)));
}

bool writeRunRecord(const RunRecordPlace& place, const RunRecord& record)
{
    if (place.folder.empty() || !makeFolder(place.folder))
        return false;
    const std::string path = inFolder(place.folder, runRecordFileName(place.profile));
    // Written beside it and moved over it, so that a reader never sees half a record.
    const std::string temporary = path + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
    const HANDLE file =
        CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const std::string text = formatRunRecord(record);
    DWORD written = 0;
    const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (ok && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary.c_str());
    return false;
}

std::vector<RunRecord> otherRunRecords(const RunRecordPlace& place)
{
    std::vector<RunRecord> records;
    if (place.folder.empty())
        return records;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(inFolder(place.folder, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return records;
    do {
        const std::optional<std::string> profile = runRecordProfile(found.cFileName);
        if (!profile || *profile == place.profile)
            continue;
        if (const auto record = readRecordFile(inFolder(place.folder, found.cFileName)))
            records.push_back(*record);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return records;
}

} // namespace varno

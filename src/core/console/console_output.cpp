#include "core/console/console_output.h"

#include <algorithm>

namespace varno {

std::vector<std::string> ConsoleOutputFollower::update(const std::vector<std::string>& snapshot)
{
    std::vector<std::string> finished(snapshot.begin(), snapshot.empty() ? snapshot.end() : snapshot.end() - 1);
    std::vector<std::string> fresh;
    if (!m_started) {
        m_started = true;
        fresh = finished;
    } else {
        // The earlier lines scroll off the top: find where the rest of them begins in the new snapshot.
        std::size_t kept = 0;
        for (std::size_t drop = 0; drop <= m_finished.size(); ++drop) {
            const std::size_t rest = m_finished.size() - drop;
            if (rest <= finished.size() &&
                std::equal(m_finished.begin() + std::ptrdiff_t(drop), m_finished.end(), finished.begin())) {
                kept = rest;
                break;
            }
        }
        fresh.assign(finished.begin() + std::ptrdiff_t(kept), finished.end());
    }
    m_finished = std::move(finished);
    return fresh;
}

std::vector<std::string> lastLines(const std::string& text, std::size_t maxLines)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    while (!lines.empty() && lines.back().find_first_not_of(' ') == std::string::npos)
        lines.pop_back();
    if (lines.size() > maxLines)
        lines.erase(lines.begin(), lines.end() - std::ptrdiff_t(maxLines));
    return lines;
}

} // namespace varno

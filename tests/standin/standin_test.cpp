#include "standin/standin_test.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace varno::test {

namespace {

constexpr const char* kSetupFinished = "setup-finished";

} // namespace

void StandinTest::startWithScript(const std::string& script, const std::vector<std::string>& arguments)
{
    m_dir.writeFile("baseq3/setup.cfg", script + "\necho " + kSetupFinished + "\n");
    std::vector<std::string> all = arguments;
    all.insert(all.end(), {"+exec", "setup.cfg"});
    m_server = std::make_unique<StandinProcess>(m_dir.path(), all);
    if (!m_server->waitForOutput(std::string(kSetupFinished) + '\n'))
        throw std::runtime_error("the setup script did not finish; q3standin printed:\n" + m_server->output());
    m_client = std::make_unique<RconClient>(m_server->port());
}

void StandinTest::startWithMap(const std::string& script, const std::vector<std::string>& arguments)
{
    startWithScript(std::string("rconpassword ") + kRconPassword + "\nsv_maxclients 32\nmap q3dm7\n" + script,
                    arguments);
}

std::string StandinTest::rcon(std::string_view command)
{
    return m_client->rcon(kRconPassword, command);
}

void StandinTest::type(std::string_view line, std::string_view expected)
{
    m_server->sendLine(line);
    if (!m_server->waitForOutput(expected))
        throw std::runtime_error("no \"" + std::string(expected) + "\" after typing \"" + std::string(line) +
                                 "\"; q3standin printed:\n" + m_server->output());
}

std::string StandinTest::readFile(const std::string& relative) const
{
    std::ifstream file(m_dir.path() / relative, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace varno::test

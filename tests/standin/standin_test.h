#pragma once

#include "standin/rcon_client.h"
#include "standin/standin_process.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace varno::test {

inline constexpr const char* kRconPassword = "secret";

// Base of the stand-in's tests: a temporary game folder and a server started in it.
class StandinTest : public ::testing::Test {
protected:
    // Writes `script` as baseq3/setup.cfg, starts the server with `arguments` and "+exec setup.cfg", and waits
    // until the script has run. Throws when the server does not get there.
    void startWithScript(const std::string& script, const std::vector<std::string>& arguments = {});
    // A map with the rcon password set, then `script`.
    void startWithMap(const std::string& script = {}, const std::vector<std::string>& arguments = {});
    // Sends an rcon command with the right password and gives the reply's text.
    std::string rcon(std::string_view command);
    // Types a line on the console and waits until `expected` shows; throws when it does not.
    void type(std::string_view line, std::string_view expected);
    std::string readFile(const std::string& relative) const;

    TempDir m_dir;
    std::unique_ptr<StandinProcess> m_server;
    std::unique_ptr<RconClient> m_client;
};

} // namespace varno::test

#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varno {

// The servers whose profiles are stored, for the panel and varno alike: listing, naming, adding and removing them.
// Errors throw VarnoError with the operator's text.

// Every server's profile id, the first server's (empty) first.
std::vector<std::string> allProfiles();
// The name a server answers to: its stored name, else "default" for the first server or its id.
std::string nameOf(const std::string& id);
// The profile a name names: the first server's by "default" or its stored name, another's by its name or id.
std::optional<std::string> profileNamed(const std::string& name);
// The game port a server's profile keeps.
int gamePortOf(const std::string& id);
bool isRemoteProfile(const std::string& id);

struct AddedServer {
    std::string id;
    int port = 0;
};

// A new server of this computer named name, from the stored values of the server from, on the first game port above
// the first server's that no server uses.
AddedServer addLocalServer(const std::string& name, const std::string& from);
// Refuses a virtual server's address that cannot be one.
void checkRemoteAddress(const std::string& host, int port);
// A new virtual server on a remote computer, reached at host:port with the rcon password.
AddedServer addRemoteServer(const std::string& name, const std::string& host, int port, const std::string& password);
// Gives a server another name; its profile id stays, so its settings stay where they are.
void renameServer(const std::string& id, const std::string& name);

} // namespace varno

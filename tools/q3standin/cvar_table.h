#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace varno::standin {

// Who made a cvar, as the engines' CVAR_VM_CREATED and CVAR_USER_CREATED flags tell it.
enum class CvarOrigin { Engine, Game, User };

struct Cvar {
    std::string name; // as first spelled
    std::string value;
    std::string resetValue; // the default the engine would report
    bool serverInfo = false; // CVAR_SERVERINFO: part of the getstatus answer
    CvarOrigin origin = CvarOrigin::User;
    std::uint64_t created = 0; // counts up in the order the cvars came into being
};

// The console variables. Names are matched without regard to case, as the engine does.
class CvarTable {
public:
    // Gives a cvar its default; a cvar that exists already (set on the command line) keeps its value and its place
    // in the creation order. As in the engines, the game cannot claim a cvar the engine registered, and a cvar the
    // user made becomes the registrar's.
    void declare(std::string_view name, std::string_view defaultValue, bool serverInfo = false,
                 CvarOrigin origin = CvarOrigin::Engine);
    // Sets a cvar, creating it when it is unknown.
    Cvar& set(std::string_view name, std::string_view value);

    Cvar* find(std::string_view name);
    const Cvar* find(std::string_view name) const;
    // The value, or empty text for an unknown cvar.
    std::string value(std::string_view name) const;
    int integer(std::string_view name) const;
    // Every cvar's name as first spelled.
    std::vector<std::string> names() const;
    // Every cvar, in no particular order.
    std::vector<const Cvar*> all() const;

private:
    Cvar& create(std::string_view name, std::string_view value, CvarOrigin origin);

    std::map<std::string, Cvar> m_cvars; // by lower-case name
    std::uint64_t m_created = 0;
};

} // namespace varno::standin

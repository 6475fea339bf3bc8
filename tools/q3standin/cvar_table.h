#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace varno::standin {

struct Cvar {
    std::string name; // as first spelled
    std::string value;
    std::string resetValue; // the default the engine would report
};

// The console variables. Names are matched without regard to case, as the engine does.
class CvarTable {
public:
    // Gives a cvar its default; a cvar that exists already (set on the command line) keeps its value.
    void declare(std::string_view name, std::string_view defaultValue);
    // Sets a cvar, creating it when it is unknown.
    Cvar& set(std::string_view name, std::string_view value);

    Cvar* find(std::string_view name);
    const Cvar* find(std::string_view name) const;
    // The value, or empty text for an unknown cvar.
    std::string value(std::string_view name) const;
    int integer(std::string_view name) const;
    // Every cvar's name as first spelled.
    std::vector<std::string> names() const;

private:
    std::map<std::string, Cvar> m_cvars; // by lower-case name
};

} // namespace varno::standin

#pragma once

#include <stdexcept>
#include <string>

namespace varno {

// An error whose message is the exact text the operator sees in the error report.
class VarnoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// printf-style "%s" substitution for the product's fixed message texts, which carry at most one %s.
std::string formatMessage(std::string_view pattern, std::string_view argument);

} // namespace varno

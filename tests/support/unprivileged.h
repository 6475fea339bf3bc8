#pragma once

#include <functional>

namespace varno::test {

// Runs body in a child process without root's rights (as uid/gid 65534 when the tests run as root),
// so that file permissions hold; returns the body's result, or -1 when the child did not end normally.
int runUnprivileged(const std::function<int()>& body);

} // namespace varno::test

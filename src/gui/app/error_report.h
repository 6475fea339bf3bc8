#pragma once

#include <QMetaObject>
#include <QObject>

#include <exception>
#include <utility>

namespace varno {

// The application's general error report: a modal message with the error's text; the program goes on.
void reportError(const std::exception& error);

// Runs one event handler; what it throws ends the handler and goes to the general error report.
template <typename Fn>
void runHandler(Fn&& fn)
{
    try {
        std::forward<Fn>(fn)();
    } catch (const std::exception& error) {
        reportError(error);
    }
}

// Connects a signal to a handler of the form `void Handler()`, named after control and event.
template <typename Sender, typename Signal, typename Receiver>
QMetaObject::Connection onEvent(Sender* sender, Signal signal, Receiver* receiver, void (Receiver::*handler)())
{
    return QObject::connect(sender, signal, receiver, [receiver, handler] { runHandler([&] { (receiver->*handler)(); }); });
}

} // namespace varno

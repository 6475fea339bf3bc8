#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace varno {

// The core holds 8-bit text in the system's local encoding (the ANSI code page on Windows, UTF-8 on
// Linux); these convert at the boundary to Qt.
inline QString toQ(std::string_view text)
{
    return QString::fromLocal8Bit(text.data(), qsizetype(text.size()));
}

inline std::string toStd(const QString& text)
{
    return text.toLocal8Bit().toStdString();
}

// Text from a game server is 8-bit; names keep their high characters as Latin-1.
inline QString fromWire(std::string_view text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace varno

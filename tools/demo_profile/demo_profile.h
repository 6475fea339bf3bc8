#pragma once

#include <QString>

namespace varno::demo {

// Creates the demo profile in folder: a Quake 3 folder whose dedicated server is the stand-in (a link
// named q3ded to standinProgram; on Windows a copy named quake3.exe) with its baseq3 folder, a Maps folder with a picture of every stock
// map, and a settings file with a short rotation, a few bots and an rcon password on both the Remote
// Access and ZOZ Idaroz pages. Returns the settings file; an existing profile is left as it is.
QString seedDemoProfile(const QString& folder, const QString& standinProgram);

// Draws the picture of one stock map as a Windows bitmap.
bool drawMapPicture(const QString& mapName, const QString& fileName);
// Draws every stock map's picture into folder, as <map>.bmp; false when one could not be written.
bool drawMapPictures(const QString& folder);

} // namespace varno::demo

#pragma once

#include <QIcon>
#include <QPixmap>

namespace varno::artwork {

// The program's pictures are drawn here rather than shipped as files.
QIcon applicationIcon();
QIcon openIcon();
QIcon propertiesIcon();
QIcon launchIcon();

} // namespace varno::artwork

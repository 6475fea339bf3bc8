#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace varno::artwork {

// The program's pictures are drawn here rather than shipped as files.
QIcon applicationIcon();
QIcon openIcon();
QIcon propertiesIcon();
QIcon launchIcon();

// The splash window's picture.
QPixmap splashPicture(const QSize& size);

} // namespace varno::artwork

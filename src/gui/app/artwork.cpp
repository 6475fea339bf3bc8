#include "gui/app/artwork.h"

#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace varno::artwork {

namespace {

QPixmap draw(int size, const std::function<void(QPainter&, qreal)>& paint)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, size / 32.0);
    return pixmap;
}

QIcon iconFrom(const std::function<void(QPainter&, qreal)>& paint)
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(draw(size, paint));
    return icon;
}

// A dark shield with a red V: the panel's mark.
void paintMark(QPainter& p, qreal s)
{
    QPainterPath shield;
    shield.moveTo(16 * s, 1 * s);
    shield.lineTo(29 * s, 6 * s);
    shield.cubicTo(29 * s, 19 * s, 24 * s, 26 * s, 16 * s, 31 * s);
    shield.cubicTo(8 * s, 26 * s, 3 * s, 19 * s, 3 * s, 6 * s);
    shield.closeSubpath();
    p.setPen(QPen(QColor(20, 20, 30), 1.2 * s));
    p.setBrush(QColor(40, 44, 60));
    p.drawPath(shield);
    QPainterPath v;
    v.moveTo(8 * s, 8 * s);
    v.lineTo(12.5 * s, 8 * s);
    v.lineTo(16 * s, 19 * s);
    v.lineTo(19.5 * s, 8 * s);
    v.lineTo(24 * s, 8 * s);
    v.lineTo(17.8 * s, 25 * s);
    v.lineTo(14.2 * s, 25 * s);
    v.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 30, 30));
    p.drawPath(v);
}

void paintFolder(QPainter& p, qreal s)
{
    p.setPen(QPen(QColor(120, 90, 20), 1.5 * s));
    p.setBrush(QColor(240, 200, 80));
    QPainterPath folder;
    folder.moveTo(3 * s, 8 * s);
    folder.lineTo(12 * s, 8 * s);
    folder.lineTo(15 * s, 11 * s);
    folder.lineTo(29 * s, 11 * s);
    folder.lineTo(29 * s, 26 * s);
    folder.lineTo(3 * s, 26 * s);
    folder.closeSubpath();
    p.drawPath(folder);
}

void paintGear(QPainter& p, qreal s)
{
    p.setPen(QPen(QColor(50, 60, 80), 1.2 * s));
    p.setBrush(QColor(150, 160, 180));
    p.translate(16 * s, 16 * s);
    for (int i = 0; i < 8; ++i) {
        p.drawRect(QRectF(-2.5 * s, -14 * s, 5 * s, 6 * s));
        p.rotate(45);
    }
    p.drawEllipse(QPointF(0, 0), 10 * s, 10 * s);
    p.setBrush(QColor(245, 245, 245));
    p.drawEllipse(QPointF(0, 0), 4 * s, 4 * s);
}

void paintLaunch(QPainter& p, qreal s)
{
    p.setPen(QPen(QColor(20, 90, 20), 1.5 * s));
    p.setBrush(QColor(60, 180, 60));
    QPainterPath play;
    play.moveTo(8 * s, 4 * s);
    play.lineTo(28 * s, 16 * s);
    play.lineTo(8 * s, 28 * s);
    play.closeSubpath();
    p.drawPath(play);
}

} // namespace

QIcon applicationIcon()
{
    return iconFrom(paintMark);
}

QIcon openIcon()
{
    return iconFrom(paintFolder);
}

QIcon propertiesIcon()
{
    return iconFrom(paintGear);
}

QIcon launchIcon()
{
    return iconFrom(paintLaunch);
}

} // namespace varno::artwork

#include "gui/app/artwork.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
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

QPixmap splashPicture(const QSize& size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::black);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient glow(0, 0, 0, size.height());
    glow.setColorAt(0.0, QColor(60, 0, 0));
    glow.setColorAt(0.55, QColor(10, 0, 0));
    glow.setColorAt(1.0, Qt::black);
    p.fillRect(QRect(QPoint(0, 0), size), glow);
    // Sparks of a rocket trail across the top.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 40; ++i) {
        const qreal x = size.width() * (0.05 + 0.9 * i / 40.0);
        const qreal y = 18 + 10 * std::sin(i * 0.7);
        p.setBrush(QColor(255, 120 + 3 * i, 0, 200 - 4 * i));
        p.drawEllipse(QPointF(x, y), 2.5 - i * 0.05, 2.5 - i * 0.05);
    }
    // The mark and the name.
    p.save();
    p.translate(22, 34);
    paintMark(p, 2.2);
    p.restore();
    QFont title(QStringLiteral("Serif"));
    title.setStyleHint(QFont::Serif);
    title.setBold(true);
    title.setPixelSize(54);
    p.setFont(title);
    p.setPen(QColor(220, 30, 30));
    p.drawText(QRect(110, 28, size.width() - 120, 64), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("VARNO"));
    QFont subtitle = title;
    subtitle.setPixelSize(18);
    subtitle.setBold(false);
    subtitle.setItalic(true);
    p.setFont(subtitle);
    p.setPen(QColor(230, 200, 170));
    p.drawText(QRect(112, 88, size.width() - 120, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Quake 3 Server Control Panel"));
    return pixmap;
}

} // namespace varno::artwork

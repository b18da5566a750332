#include "gui/pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace korvane::gui {

namespace {

// A street-light pole with its lantern and light cone, standing at x on the ground line.
void drawStreetLight(QPainter& p, double x, double ground, double height) {
    p.setPen(QPen(QColor(210, 220, 235), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x, ground), QPointF(x, ground - height));
    p.drawLine(QPointF(x, ground - height), QPointF(x + height * 0.28, ground - height));
    const QPointF lamp(x + height * 0.28, ground - height + 6);
    QPolygonF cone;
    cone << lamp << QPointF(lamp.x() - height * 0.3, ground)
         << QPointF(lamp.x() + height * 0.3, ground);
    QLinearGradient light(lamp, QPointF(lamp.x(), ground));
    light.setColorAt(0, QColor(255, 236, 150, 170));
    light.setColorAt(1, QColor(255, 236, 150, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(light);
    p.drawPolygon(cone);
    p.setBrush(QColor(255, 230, 120));
    p.drawEllipse(lamp, 9, 5);
}

QPixmap splash(QSize size) {
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(12, 28, 64));
    sky.setColorAt(1, QColor(36, 72, 128));
    p.fillRect(pixmap.rect(), sky);

    const double w = size.width();
    const double h = size.height();
    const double ground = h * 0.78;
    // The distribution line hanging between the poles.
    p.setPen(QPen(QColor(150, 170, 200), 1.5));
    for (int i = 0; i < 3; ++i) {
        QPainterPath wire;
        const double y = ground - h * 0.42 + i * 6;
        wire.moveTo(w * 0.1, y);
        wire.quadTo(w * 0.3, y + 18, w * 0.5, y);
        wire.quadTo(w * 0.7, y + 18, w * 0.9, y);
        p.setBrush(Qt::NoBrush);
        p.drawPath(wire);
    }
    for (double x : {0.1, 0.5, 0.9})
        drawStreetLight(p, w * x, ground, h * 0.42);
    p.fillRect(QRectF(0, ground, w, h - ground), QColor(20, 30, 46));

    p.setPen(Qt::white);
    QFont title(QStringLiteral("Sans"), 30, QFont::Bold);
    p.setFont(title);
    p.drawText(QRectF(0, h * 0.04, w, h * 0.2), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Korvane"));
    QFont subtitle(QStringLiteral("Sans"), 12);
    p.setFont(subtitle);
    p.drawText(QRectF(0, ground + 6, w, h - ground - 6), Qt::AlignCenter,
               QStringLiteral("低压配电线路电压损失 · 短路电流 · 校验计算"));
    return pixmap;
}

QPixmap icon(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(24, 52, 104));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(pixmap.rect(), size.width() * 0.18, size.height() * 0.18);
    drawStreetLight(p, size.width() * 0.32, size.height() * 0.88, size.height() * 0.7);
    return pixmap;
}

} // namespace

QPixmap builtInPicture(const QString& name, QSize size) {
    if (name == QLatin1String("icon"))
        return icon(size);
    return splash(size);
}

} // namespace korvane::gui

#include "QtImages.h"

#include "DialogResourceIds.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace platform {

// The three images of the view buttons (bitmap 116): a page of text, a
// sheet of cells and an envelope, drawn for the screen's scale.
QIcon ViewButtonImage(int image)
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen outline(QColor(0x30, 0x40, 0x58), 2.5);
    painter.setPen(outline);
    switch (image) {
    case 0: { // a page with lines of text and a folded corner
        QPainterPath page;
        page.moveTo(11, 5);
        page.lineTo(30, 5);
        page.lineTo(38, 13);
        page.lineTo(38, 43);
        page.lineTo(11, 43);
        page.closeSubpath();
        painter.setBrush(QColor(0xf4, 0xf7, 0xfc));
        painter.drawPath(page);
        painter.setBrush(Qt::NoBrush);
        painter.drawLine(QPointF(30, 5), QPointF(30, 13));
        painter.drawLine(QPointF(30, 13), QPointF(38, 13));
        painter.setPen(QPen(QColor(0x2a, 0x5d, 0xb0), 2.5));
        for (int y = 20; y <= 36; y += 6)
            painter.drawLine(QPointF(16, y), QPointF(y == 36 ? 26 : 33, y));
        break;
    }
    case 1: { // a sheet of cells with a green heading row
        painter.setBrush(QColor(0xf4, 0xfa, 0xf4));
        painter.drawRect(QRectF(6, 8, 36, 32));
        painter.fillRect(QRectF(7.5, 9.5, 33, 8), QColor(0x3c, 0x9a, 0x4c));
        painter.setPen(QPen(QColor(0x30, 0x40, 0x58), 1.5));
        for (int x = 18; x < 42; x += 12)
            painter.drawLine(QPointF(x, 8), QPointF(x, 40));
        for (int y = 18; y < 40; y += 7)
            painter.drawLine(QPointF(6, y), QPointF(42, y));
        break;
    }
    default: { // an envelope
        painter.setBrush(QColor(0xfc, 0xf6, 0xe8));
        painter.drawRect(QRectF(5, 11, 38, 27));
        painter.drawLine(QPointF(5, 11), QPointF(24, 27));
        painter.drawLine(QPointF(43, 11), QPointF(24, 27));
        break;
    }
    }
    return QIcon(pixmap);
}

QIcon BitmapResource(int id)
{
    switch (id) {
    case kStartupDocumentsBitmap:
        return ViewButtonImage(0);
    case kStartupWorkbooksBitmap:
        return ViewButtonImage(1);
    case kStartupEmailBitmap:
        return ViewButtonImage(2);
    default:
        return {};
    }
}

} // namespace platform

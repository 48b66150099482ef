#include "display/TInfoMessage.h"

#include <QFontMetrics>
#include <QPainter>

TInfoMessage::TInfoMessage(QImage* canvas, uint32_t background, const QFont& font)
    : Canvas(canvas), Background(background), Font(font)
{
    Font.setPointSize(10);
}

QRect TInfoMessage::DrawMessage(const QString& text)
{
    if (text.isEmpty() || !Canvas || Canvas->isNull())
        return QRect();
    const int r = int(Background & 0xFF);
    const int g = int((Background >> 8) & 0xFF);
    const int b = int((Background >> 16) & 0xFF);
    QPainter painter(Canvas);
    painter.setFont(Font);
    const QFontMetrics metrics(Font, Canvas);
    const int cx = metrics.horizontalAdvance(text);
    const QRect box(Right - cx - 10, Bottom - 25, cx, metrics.height());
    painter.fillRect(box, QColor(r, g, b));
    painter.setPen(QColor(255 - r, 255 - g, 255 - b));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    return box;
}

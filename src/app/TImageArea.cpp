#include "app/TImageArea.h"

#include <QPainter>
#include <QPaintEvent>
#include <QTimer>

#include <utility>

TImageArea::TImageArea(QWidget* parent) : QWidget(parent)
{
    // The canvas covers every pixel: no background fill by Qt, no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setObjectName(QStringLiteral("ImageArea"));
}

void TImageArea::SetBackColor(const QColor& color)
{
    Back = color;
    Canvas.fill(Back);
    update();
}

void TImageArea::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), Canvas, event->rect());
    if (AfterNextPaint)
        QTimer::singleShot(0, this, std::exchange(AfterNextPaint, nullptr));
}

void TImageArea::Flush()
{
    // A hidden or not yet exposed area paints at its exposure anyway.
    if (isVisible())
        repaint();
}

void TImageArea::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (Canvas.size() == size())
        return;
    Canvas = QImage(size(), QImage::Format_RGB32);
    Canvas.fill(Back);
    if (OnResized)
        OnResized();
}

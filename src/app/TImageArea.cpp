#include "app/TImageArea.h"

#include <QPainter>
#include <QPaintEvent>

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

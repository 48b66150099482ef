#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "display/IViewCanvas.h"

// The main window's client area: the canvas the view draws on. The view
// draws into the area's picture when it is called; the widget shows that
// picture on every paint and asks for a full redraw when its size changes.
class TImageArea : public QWidget, public IViewCanvas {
public:
    explicit TImageArea(QWidget* parent = nullptr);

    QImage& Picture() override { return Canvas; }
    void Changed(const QRect& rect) override { update(rect); }
    void Flush() override;

    void SetBackColor(const QColor& color);
    std::function<void()> OnResized;  // the view redraws fully
    // Run once, from the event loop, after the next paint has reached the
    // screen: work that must not delay a picture.
    std::function<void()> AfterNextPaint;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage Canvas;
    QColor Back = Qt::black;
};

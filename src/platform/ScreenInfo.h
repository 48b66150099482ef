#pragma once

#include <QSize>

// The size of the primary screen in pixels. The application answers from
// QGuiApplication::primaryScreen(); tests give a fixed size. Core code takes
// the answer as a parameter and never asks the windowing system itself.
class IScreenInfo {
public:
    virtual ~IScreenInfo() = default;
    virtual QSize PrimaryScreenSize() const = 0;
};

// A screen of a fixed size, for tests and for runs without a display.
class TFixedScreen final : public IScreenInfo {
public:
    explicit TFixedScreen(QSize size) : Size(size) {}
    QSize PrimaryScreenSize() const override { return Size; }

private:
    QSize Size;
};

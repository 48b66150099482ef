#pragma once

#include <QWidget>

// The main window's client area: the dock of toolbars at the top and the
// image area below it. In full screen the image area covers the whole client
// and the dock, when revealed, lies over the top of the image, so the view
// does not move when the dock comes and goes.
class TMainClient : public QWidget {
public:
    TMainClient(QWidget* dock, QWidget* area, QWidget* parent = nullptr);

    void SetOverlay(bool on);
    bool Overlay() const { return IsOverlay; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Arrange();

    QWidget* Dock;
    QWidget* Area;
    bool IsOverlay = false;
};

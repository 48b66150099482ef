#pragma once

#include <QMainWindow>

// The main window: owns the settings, the view and the plug-in host, and
// wires the pieces together. Its client area shows the current image on the
// background colour.
class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit TfrmMain(QWidget* parent = nullptr);

    static constexpr int DefaultClientWidth = 542;
    static constexpr int DefaultClientHeight = 424;
};

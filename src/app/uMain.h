#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>

#include "settings/IWindowPlacement.h"

class TOption;
class TImageArea;
class TZorvinView;

// The main window: owns the settings, the view and the plug-in host, and
// wires the pieces together. Its client area shows the current image on the
// background colour.
//
// Its placement in Zorvin.ini is the client area's rectangle (Qt's normal
// geometry): frame sizes differ between window managers, and a rectangle
// that included them would drift from run to run.
class TfrmMain : public QMainWindow, public IWindowPlacement {
    Q_OBJECT

public:
    // Settings from Zorvin.ini in the program folder.
    explicit TfrmMain(QWidget* parent = nullptr);
    // Settings from the given file (tests, other layouts).
    explicit TfrmMain(const QString& settingsFile, QWidget* parent = nullptr);
    ~TfrmMain() override;

    TOption& Option() const { return *FOption; }
    TZorvinView* View() const { return FView.get(); }

    // The path opened at the first showing (the command line's argument).
    void SetStartPath(const QString& path) { FStartPath = path; }

    // Next and previous image, wrapping around when LoopList is on.
    void NextImage();
    void PrevImage();
    void UpdateCaption();

    TWindowPlacement GetWindowPlacement() const override;
    void SetWindowPlacement(const TWindowPlacement& placement) override;
    QRect CurrentBounds() const override;

    static constexpr int DefaultClientWidth = 542;
    static constexpr int DefaultClientHeight = 424;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SaveAtExit();
    void CreateView();

    std::unique_ptr<TOption> FOption;
    TImageArea* FArea = nullptr;
    std::unique_ptr<TZorvinView> FView;
    QString FStartPath;
    bool FSaved = false;
};

#pragma once

#include <QDialog>

class QLabel;

// The About box: the program's icon, its version and a link to its home page.
class TfrmAbout : public QDialog {
    Q_OBJECT

public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    static constexpr const char* Version = "Zorvin Lite ver.2.11";
    static constexpr const char* HomePage = "https://zorvin-lite.org/";

    QLabel* lbVer = nullptr;
    QLabel* lbUrl = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

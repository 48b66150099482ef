#include "app/uMain.h"

#include <QPalette>
#include <QWidget>

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Zorvin Lite"));
    setObjectName(QStringLiteral("frmMain"));

    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("ImageArea"));
    area->setAutoFillBackground(true);
    QPalette palette = area->palette();
    palette.setColor(QPalette::Window, Qt::black);
    area->setPalette(palette);
    setCentralWidget(area);
    resize(DefaultClientWidth, DefaultClientHeight);
}

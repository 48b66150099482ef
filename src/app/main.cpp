#include <QApplication>

#include "app/uMain.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvin Lite"));

    // Settings are read when the window is created and written when it closes.
    TfrmMain window;
    window.show();
    return QApplication::exec();
}

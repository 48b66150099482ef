#include <QApplication>

#include "app/uMain.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvin Lite"));

    TfrmMain window;
    window.show();
    return QApplication::exec();
}

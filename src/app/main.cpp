#include <QApplication>
#include <QStringList>

#include "app/TerminationSignals.h"
#include "app/uMain.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvin Lite"));
    QuitOnTerminationSignals();

    // Settings are read when the window is created and written when it
    // closes or, at the latest, when it is destroyed.
    TfrmMain window;
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1)
        window.SetStartPath(arguments.at(1));  // further arguments are ignored
    window.show();
    return QApplication::exec();
}

#include "GuiApp.h"

#include <QGuiApplication>

void EnsureGuiApp()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "zorvin-tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

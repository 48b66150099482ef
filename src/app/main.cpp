#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include "app/TerminationSignals.h"
#include "app/uMain.h"
#include "display/uZorvinView.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/SingleInstance.h"
#include "settings/uOption.h"

namespace {

// The executable's folder, known before any application object exists.
QString ExecutableFolder()
{
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return executable.isEmpty() ? QString() : QFileInfo(executable).absolutePath();
}

// Another viewer runs and only one is allowed: hand it the first argument
// (none: it only comes to the front) and end. A viewer that cannot be
// reached loses the argument without a message.
int HandOff(int argc, char* argv[], const QString& runtimeFolder)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    SingleInstance::SendHandOff(runtimeFolder, arguments.size() > 1 ? arguments.at(1) : QString());
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const QString programFolder = ProgramFolder::Choose(
        ExecutableFolder(), qEnvironmentVariable("XDG_CONFIG_HOME"), qEnvironmentVariable("HOME"));
    const bool multiProcess = TOption::ReadMultiProcess(programFolder + QStringLiteral("Zorvin.ini"));

    const QString runtimeFolder = SingleInstance::RuntimeFolder();
    TInstanceMutex mutex(runtimeFolder);
    if (!multiProcess && mutex.Exists())
        return HandOff(argc, argv, runtimeFolder);
    // A mutex that cannot be made leaves this viewer without one; it runs.
    mutex.Create();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvin Lite"));
    QuitOnTerminationSignals();

    // Settings are read when the window is created and written when it
    // closes or, at the latest, when it is destroyed.
    TfrmMain window;
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1)
        window.SetStartPath(arguments.at(1));  // further arguments are ignored

    // A second start's path, opened before the answer lets that start end.
    THandOffServer server(runtimeFolder, [&window](const QString& path) {
        SingleInstance::BringToFront(&window);
        if (!path.isEmpty() && window.View())
            window.View()->OpenPath(path, true);
    });
    window.show();  // the first showing makes the view
    server.Listen();
    return QApplication::exec();
}

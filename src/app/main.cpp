#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStringList>
#include <QThread>
#include <QScreen>
#include <QTimer>

#include "app/TerminationSignals.h"
#include "app/uMain.h"
#include "decode/HeadStartDecode.h"
#include "display/uZorvinView.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/EarlyScreen.h"
#include "platform/ui/SingleInstance.h"
#include "settings/uOption.h"

namespace {

constexpr int StartingViewerWaitMs = 5000;
constexpr int TakeOverIntervalMs = 2000;

// The executable's folder, known before any application object exists.
QString ExecutableFolder()
{
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return executable.isEmpty() ? QString() : QFileInfo(executable).absolutePath();
}

// Another viewer runs and only one is allowed: hand it the first argument
// (none: it only comes to the front) and end. A viewer that has taken the
// mutex but is not listening yet is still starting: it is asked again for a
// few seconds, so that a quick second start does not lose its file. A viewer
// that cannot be reached loses the argument without a message.
int HandOff(int argc, char* argv[], const QString& runtimeFolder, const TInstanceMutex& mutex)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString path = arguments.size() > 1 ? arguments.at(1) : QString();
    const QDeadlineTimer startingViewer(StartingViewerWaitMs);
    while (SingleInstance::SendHandOff(runtimeFolder, path) == SingleInstance::TSendResult::NoViewer
        && mutex.Exists() && !startingViewer.hasExpired())
        QThread::msleep(100);
    return 0;
}

// Decodes the start file with the settings the window will read, for the
// screen it will open on.
std::shared_ptr<THeadStartDecode> BeginHeadStart(const QString& path, const QString& settingsFile, QSize screenSize)
{
    TOption options(settingsFile, screenSize);
    options.Load();
    TDecodeParams params;
    params.ScreenSize = screenSize;
    params.AutoRotate = options.AutoRotate;
    params.BackColor = uint32_t(options.BackColor);
    return std::make_shared<THeadStartDecode>(path, params);
}

// Whether the application will show its window through X11: the X server's
// screen is then the one it opens on.
bool UsesX11()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty())
        return platform.startsWith("xcb");
    return qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
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
        return HandOff(argc, argv, runtimeFolder, mutex);
    // A mutex that cannot be made leaves this viewer without one; it runs.
    mutex.Create();

    // The start file's decode runs while the application connects to the
    // display and the window is built. It needs the screen's size for its
    // scale: asked of the X server directly when there is one, else of the
    // application once it exists.
    const QString settingsFile = programFolder + QStringLiteral("Zorvin.ini");
    std::shared_ptr<THeadStartDecode> headStart;
    if (argc > 1 && UsesX11()) {
        if (const QSize screen = EarlyScreenSize(); !screen.isEmpty())
            headStart = BeginHeadStart(QString::fromLocal8Bit(argv[1]), settingsFile, screen);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvin Lite"));
    QuitOnTerminationSignals();

    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1 && !headStart) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        headStart = BeginHeadStart(arguments.at(1), settingsFile, screen ? screen->size() : QSize());
    }

    // Settings are read when the window is created and written when it
    // closes or, at the latest, when it is destroyed.
    TfrmMain window;
    if (arguments.size() > 1)
        window.SetStartPath(arguments.at(1));  // further arguments are ignored
    window.SetHeadStart(std::move(headStart));

    // A second start's path, opened before the answer lets that start end.
    // The server listens at once; its connections wait for the event loop,
    // by which time the first showing has made the view.
    THandOffServer server(runtimeFolder, [&window](const QString& path) {
        SingleInstance::BringToFront(&window);
        if (path.isEmpty())
            return;
        if (window.View())
            window.View()->OpenPath(path, true);
        else
            window.SetStartPath(path);
    });
    // With MultiProcess on, another viewer may serve; when it ends, this one
    // takes over, so that a later single-instance start still finds a viewer.
    QTimer takeOver;
    takeOver.setInterval(TakeOverIntervalMs);
    QObject::connect(&takeOver, &QTimer::timeout, [&server, &takeOver] {
        if (server.Listen())
            takeOver.stop();
    });
    if (!server.Listen() && !runtimeFolder.isEmpty())
        takeOver.start();
    window.show();  // the first showing makes the view
    return QApplication::exec();
}

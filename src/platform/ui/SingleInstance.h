#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;
class QLocalSocket;
class QWidget;

// One viewer per user unless MultiProcess allows more. Three things stand in
// for the named mutex, the window lookup and the copy-data message:
//
// - TInstanceMutex: the file "Zorvin.Mutex.Handle" in the user's runtime
//   folder. Every viewer holds a shared flock on it for its whole run; a start
//   asks whether anybody does by trying an exclusive lock without waiting. The
//   kernel drops the locks of a process that dies, so a file left behind by a
//   crashed viewer blocks nobody.
// - THandOffServer: a local socket in the same folder. The first viewer to
//   take the server lock listens; a second start connects, sends one
//   HandOffRecord and waits for the one-byte answer, which is written only
//   after the viewer has come to the front and opened the path.
// - SendHandOff: that second start's side.
namespace SingleInstance {

// $XDG_RUNTIME_DIR when it is an absolute path to a folder of ours; else
// /tmp/zorvin-<uid>, created with mode 0700. Empty when neither can be had
// safely (a folder of another user, a symbolic link, a file).
QString RuntimeFolder();

constexpr const char* MutexName = "Zorvin.Mutex.Handle";
constexpr const char* ServerName = "Zorvin.HandOff";

// The sender's wait for the answer: the viewer scans the folder first, and a
// folder on a slow disk can take a while.
constexpr int AnswerTimeoutMs = 30000;

enum class TSendResult {
    Delivered, // the viewer answered: it has opened the path
    NoViewer,  // nobody listens (the viewer is still starting or is gone)
    NoAnswer,  // connected, but no answer within the timeout
};

// Sends the record for path (empty: only bring the viewer to the front) to
// the viewer listening in folder and waits for its answer.
TSendResult SendHandOff(const QString& folder, const QString& path, int timeoutMs = AnswerTimeoutMs);

// Restores a minimised window and brings it to the front.
void BringToFront(QWidget* window);

} // namespace SingleInstance

class TInstanceMutex {
public:
    explicit TInstanceMutex(const QString& folder);
    ~TInstanceMutex();
    TInstanceMutex(const TInstanceMutex&) = delete;
    TInstanceMutex& operator=(const TInstanceMutex&) = delete;

    // True when a viewer holds the mutex (it is not taken by this object).
    bool Exists() const;
    // Takes the mutex (shared with other viewers) for this object's life.
    // False when the file cannot be made or locked; the caller runs anyway.
    bool Create();
    bool Created() const { return FFd >= 0; }

private:
    QString FFileName;
    int FFd = -1;
};

class THandOffServer : public QObject {
    Q_OBJECT

public:
    // Called on the main thread for every complete record, with the path as
    // the record carries it (possibly empty). The answer goes back when it
    // returns.
    using THandler = std::function<void(const QString& path)>;

    // A connection that has not delivered its record within this time is
    // dropped, so an idle client holds nothing for long.
    static constexpr int RecordTimeoutMs = 10000;

    THandOffServer(const QString& folder, THandler handler, QObject* parent = nullptr);
    ~THandOffServer() override;

    // Starts listening unless another viewer already serves this folder.
    // False when this viewer does not listen.
    bool Listen();
    bool Listening() const;

private:
    void Accept();
    void ReadFrom(QLocalSocket* socket);

    QString FFolder;
    THandler FHandler;
    QLocalServer* FServer = nullptr;
    int FLockFd = -1;
};

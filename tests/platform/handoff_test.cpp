#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <atomic>
#include <functional>
#include <sys/stat.h>
#include <thread>

#include "GuiApp.h"
#include "platform/HandOffRecord.h"
#include "platform/ui/SingleInstance.h"

namespace {

using HandOffRecord::TStatus;

QByteArray Header(uint32_t dwData, uint32_t cbData)
{
    QByteArray bytes(HandOffRecord::HeaderSize, '\0');
    qToLittleEndian<uint32_t>(dwData, bytes.data());
    qToLittleEndian<uint32_t>(cbData, bytes.data() + 4);
    return bytes;
}

QByteArray Utf16Le(const QString& text)
{
    QByteArray bytes;
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

// ---- the record's bytes -----------------------------------------------------

struct TPathCase {
    const char* Label;
    QString Path;
};

class HandOffEncode : public ::testing::TestWithParam<TPathCase> {};

TEST_P(HandOffEncode, CarriesTheUnitsAndOneTerminatorByteAndReadsBack)
{
    const QString path = GetParam().Path;
    const auto n = uint32_t(path.size());
    const QByteArray record = HandOffRecord::Encode(path);

    ASSERT_EQ(record.size(), HandOffRecord::HeaderSize + qsizetype(2 * n + 1));
    EXPECT_EQ(record.left(HandOffRecord::HeaderSize), Header(0, 2 * n + 1));
    EXPECT_EQ(record.mid(HandOffRecord::HeaderSize, 2 * n), Utf16Le(path));
    EXPECT_EQ(record.back(), '\0');

    const HandOffRecord::TDecoded decoded = HandOffRecord::Decode(record);
    EXPECT_EQ(decoded.Status, TStatus::Complete);
    EXPECT_EQ(decoded.Path, path);
    EXPECT_EQ(decoded.Needed, record.size());
}

INSTANTIATE_TEST_SUITE_P(Paths, HandOffEncode,
    ::testing::Values(TPathCase { "empty", QString() },
        TPathCase { "one character", QStringLiteral("a") },
        TPathCase { "plain", QStringLiteral("/home/user/pictures/cat.jpg") },
        TPathCase { "relative", QStringLiteral("../cat.jpg") },
        TPathCase { "japanese", QStringLiteral("/home/user/写真/猫 の 画像.jpg") },
        // Units, not characters, are counted: a pair counts twice.
        TPathCase { "surrogate pair", QStringLiteral("/tmp/\U0001F600.gif") }));

struct TDecodeCase {
    const char* Label;
    QByteArray Bytes;
    TStatus Status;
    QString Path;
    qsizetype Needed;
};

class HandOffDecode : public ::testing::TestWithParam<TDecodeCase> {};

TEST_P(HandOffDecode, ReadsOnlyWhatTheRecordHolds)
{
    const TDecodeCase& c = GetParam();
    const HandOffRecord::TDecoded decoded = HandOffRecord::Decode(c.Bytes);
    EXPECT_EQ(decoded.Status, c.Status);
    if (c.Status == TStatus::Invalid)
        return;
    EXPECT_EQ(decoded.Needed, c.Needed);
    EXPECT_EQ(decoded.Path, c.Path);
}

INSTANTIATE_TEST_SUITE_P(Records, HandOffDecode,
    ::testing::Values(
        TDecodeCase { "no bytes", QByteArray(), TStatus::Incomplete, QString(), 8 },
        TDecodeCase { "half a header", Header(0, 5).left(6), TStatus::Incomplete, QString(), 8 },
        TDecodeCase { "truncated data", Header(0, 7) + Utf16Le("ab"), TStatus::Incomplete, QString(), 15 },
        TDecodeCase { "cbData 0", Header(0, 0), TStatus::Complete, QString(), 8 },
        TDecodeCase { "cbData 1", Header(0, 1) + QByteArray(1, '\0'), TStatus::Complete, QString(), 9 },
        // An even count (a whole terminator) reads the same n units.
        TDecodeCase { "even cbData", Header(0, 6) + Utf16Le("ab") + QByteArray(2, '\0'), TStatus::Complete,
            QStringLiteral("ab"), 14 },
        // No terminator inside cbData: the units end where the count says.
        TDecodeCase { "no terminator", Header(0, 4) + Utf16Le("xy"), TStatus::Complete, QStringLiteral("x"), 12 },
        TDecodeCase { "zero inside", Header(0, 9) + Utf16Le(QStringLiteral("ab")) + QByteArray(2, '\0')
                + Utf16Le("c") + QByteArray(1, '\0'),
            TStatus::Complete, QStringLiteral("ab"), 17 },
        TDecodeCase { "bytes after the record", Header(0, 3) + Utf16Le("z") + QByteArray(1, '\0') + "more",
            TStatus::Complete, QStringLiteral("z"), 11 },
        TDecodeCase { "largest allowed", Header(0, HandOffRecord::MaxDataSize)
                + Utf16Le(QString(HandOffRecord::MaxPathUnits, QLatin1Char('p'))) + QByteArray(2, '\0'),
            TStatus::Complete, QString(HandOffRecord::MaxPathUnits, QLatin1Char('p')),
            8 + qsizetype(HandOffRecord::MaxDataSize) },
        TDecodeCase { "one byte too many", Header(0, HandOffRecord::MaxDataSize + 1), TStatus::Invalid, QString(), 0 },
        TDecodeCase { "cbData -1", Header(0, 0xFFFFFFFFu), TStatus::Invalid, QString(), 0 }),
    [](const auto& info) { return std::to_string(info.index); });

// ---- the mutex ----------------------------------------------------------------

QString Folder(const QTemporaryDir& dir)
{
    return dir.path() + QLatin1Char('/');
}

TEST(InstanceMutex, IsHeldExactlyWhileAViewerLives)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TInstanceMutex probe(Folder(dir));
    EXPECT_FALSE(probe.Exists()) << "no file yet";
    {
        TInstanceMutex viewer(Folder(dir));
        ASSERT_TRUE(viewer.Create());
        EXPECT_TRUE(probe.Exists());
        // With MultiProcess on, a second viewer shares it.
        TInstanceMutex another(Folder(dir));
        EXPECT_TRUE(another.Create());
        EXPECT_TRUE(probe.Exists());
    }
    // The file stays behind, as after a crash; it must not count.
    EXPECT_TRUE(QFile::exists(Folder(dir) + QLatin1String(SingleInstance::MutexName)));
    EXPECT_FALSE(probe.Exists());
}

TEST(InstanceMutex, SomethingElseUnderItsNameNeitherBlocksNorHangs)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = Folder(dir) + QLatin1String(SingleInstance::MutexName);
    // A FIFO would block an ordinary open for good.
    ASSERT_EQ(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
    TInstanceMutex mutex(Folder(dir));
    EXPECT_FALSE(mutex.Exists());
    EXPECT_FALSE(mutex.Create());

    TInstanceMutex nowhere{QString()};
    EXPECT_FALSE(nowhere.Exists());
    EXPECT_FALSE(nowhere.Create());
}

TEST(RuntimeFolder, TakesOnlyAFolderThatOthersCannotWrite)
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    const bool hadValue = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray path = QFile::encodeName(dir.path());

    ASSERT_EQ(::chmod(path.constData(), 0700), 0);
    qputenv("XDG_RUNTIME_DIR", path);
    EXPECT_EQ(SingleInstance::RuntimeFolder(), Folder(dir));

    ASSERT_EQ(::chmod(path.constData(), 0777), 0);
    const QString fallback = QStringLiteral("/tmp/zorvin-%1/").arg(::geteuid());
    EXPECT_EQ(SingleInstance::RuntimeFolder(), fallback);
    qputenv("XDG_RUNTIME_DIR", "relative/run");
    EXPECT_EQ(SingleInstance::RuntimeFolder(), fallback);

    struct stat st {};
    ASSERT_EQ(::lstat("/tmp/zorvin-" + QByteArray::number(::geteuid()), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    if (hadValue)
        qputenv("XDG_RUNTIME_DIR", saved);
    else
        qunsetenv("XDG_RUNTIME_DIR");
}

// ---- over the socket ----------------------------------------------------------

// Runs client on its own thread while this thread's event loop serves, and
// returns when the client is done. The client uses the blocking calls, as
// the second start does.
void RunClient(const std::function<void()>& client)
{
    QEventLoop loop;
    std::atomic<bool> done { false };
    std::thread thread([&] {
        client();
        done = true;
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    if (!done)
        loop.exec();
    thread.join();
}

class HandOffSocket : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        ASSERT_TRUE(Dir.isValid());
        Server = std::make_unique<THandOffServer>(Folder(Dir), [this](const QString& path) {
            Received.append(path);
            ClientWaitedForAnswer = ClientWaiting.load();
        });
        ASSERT_TRUE(Server->Listen());
    }

    SingleInstance::TSendResult Send(const QString& path)
    {
        SingleInstance::TSendResult result {};
        RunClient([&] {
            ClientWaiting = true;
            result = SingleInstance::SendHandOff(Folder(Dir), path, 10000);
            ClientWaiting = false;
        });
        return result;
    }

    // Sends raw bytes, then waits until the server closes the connection;
    // returns what it answered.
    QByteArray SendRaw(const QByteArray& bytes)
    {
        QByteArray answer;
        RunClient([&] {
            QLocalSocket socket;
            socket.connectToServer(Folder(Dir) + QLatin1String(SingleInstance::ServerName));
            if (!socket.waitForConnected(5000))
                return;
            socket.write(bytes);
            socket.waitForBytesWritten(5000);
            if (bytes.size() < HandOffRecord::HeaderSize + 2) {
                socket.disconnectFromServer();  // a sender that gives up early
                return;
            }
            while (socket.state() == QLocalSocket::ConnectedState && socket.waitForReadyRead(5000))
                answer += socket.readAll();
            answer += socket.readAll();
        });
        return answer;
    }

    QTemporaryDir Dir;
    std::unique_ptr<THandOffServer> Server;
    QStringList Received;
    std::atomic<bool> ClientWaiting { false };
    bool ClientWaitedForAnswer = false;
};

TEST_F(HandOffSocket, DeliversThePathAndAnswersOnlyAfterTheHandlerRan)
{
    const QString path = QStringLiteral("/home/user/写真/猫.jpg");
    EXPECT_EQ(Send(path), SingleInstance::TSendResult::Delivered);
    EXPECT_EQ(Received, QStringList { path });
    EXPECT_TRUE(ClientWaitedForAnswer);

    // No argument: the viewer is only asked to come to the front.
    EXPECT_EQ(Send(QString()), SingleInstance::TSendResult::Delivered);
    EXPECT_EQ(Received, (QStringList { path, QString() }));
}

TEST_F(HandOffSocket, BrokenAndHostileSendersAreDroppedAndTheServerGoesOn)
{
    // A header claiming more than any path: the connection is cut unanswered.
    EXPECT_EQ(SendRaw(Header(0, 0xFFFFFFF0u) + QByteArray(64, 'x')), QByteArray());
    // A record cut short by a sender that hangs up.
    EXPECT_EQ(SendRaw(Header(0, 41).left(7)), QByteArray());
    EXPECT_EQ(SendRaw(Header(0, 41) + Utf16Le("ab").left(1)), QByteArray());
    EXPECT_TRUE(Received.isEmpty());

    // A zero unit inside ends the path; the record is still answered.
    EXPECT_EQ(SendRaw(Header(0, 9) + Utf16Le("ab") + QByteArray(2, '\0') + Utf16Le("cd").left(3)),
        QByteArray(1, '\1'));
    EXPECT_EQ(Received, QStringList { QStringLiteral("ab") });

    EXPECT_EQ(Send(QStringLiteral("/tmp/after.jpg")), SingleInstance::TSendResult::Delivered);
    EXPECT_EQ(Received.last(), QStringLiteral("/tmp/after.jpg"));
}

TEST_F(HandOffSocket, OneViewerServesAndALeftoverSocketIsReplaced)
{
    THandOffServer second(Folder(Dir), [](const QString&) {});
    EXPECT_FALSE(second.Listen()) << "the first viewer serves";

    Server.reset();
    EXPECT_EQ(Send(QStringLiteral("/lost.jpg")), SingleInstance::TSendResult::NoViewer);

    // A socket file left by a viewer that died without closing it.
    QLocalServer leftover;
    leftover.setSocketOptions(QLocalServer::UserAccessOption);
    ASSERT_TRUE(leftover.listen(Folder(Dir) + QLatin1String(SingleInstance::ServerName)));
    EXPECT_TRUE(second.Listen());
}

TEST(HandOffWire, AnNCharacterPathTravelsAsHeaderAnd2nPlus1Bytes)
{
    EnsureGuiApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QLocalServer server;
    ASSERT_TRUE(server.listen(Folder(dir) + QLatin1String(SingleInstance::ServerName)));
    QByteArray wire;
    QObject::connect(&server, &QLocalServer::newConnection, [&] {
        QLocalSocket* socket = server.nextPendingConnection();
        QObject::connect(socket, &QLocalSocket::readyRead, [&wire, socket] {
            wire += socket->readAll();
            const auto decoded = HandOffRecord::Decode(wire);
            if (decoded.Status == TStatus::Complete && wire.size() >= decoded.Needed)
                socket->write("\1", 1);
        });
    });

    const QString path = QStringLiteral("/srv/画像/a.bmp");  // 13 units
    SingleInstance::TSendResult result {};
    RunClient([&] { result = SingleInstance::SendHandOff(Folder(dir), path, 10000); });
    EXPECT_EQ(result, SingleInstance::TSendResult::Delivered);
    ASSERT_EQ(wire.size(), 8 + 2 * 13 + 1);
    EXPECT_EQ(qFromLittleEndian<uint32_t>(wire.constData()), 0u);
    EXPECT_EQ(qFromLittleEndian<uint32_t>(wire.constData() + 4), uint32_t(2 * 13 + 1));
}

TEST(HandOffWire, AViewerThatNeverAnswersLetsTheSenderGo)
{
    EnsureGuiApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QLocalServer server;
    ASSERT_TRUE(server.listen(Folder(dir) + QLatin1String(SingleInstance::ServerName)));
    QLocalSocket* held = nullptr;
    QObject::connect(&server, &QLocalServer::newConnection, [&] { held = server.nextPendingConnection(); });
    SingleInstance::TSendResult result {};
    RunClient([&] { result = SingleInstance::SendHandOff(Folder(dir), QStringLiteral("/a.jpg"), 200); });
    EXPECT_EQ(result, SingleInstance::TSendResult::NoAnswer);
    EXPECT_EQ(SingleInstance::SendHandOff(QString(), QStringLiteral("/a.jpg")), SingleInstance::TSendResult::NoViewer);
}

} // namespace

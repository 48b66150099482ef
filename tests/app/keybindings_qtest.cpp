// Key bindings on the real main window: the key texts of the settings become
// the keys of the forty functions, looked up in the command order, ahead of
// the window's controls and of Qt's shortcut map.

#include <QtTest>

#include <QAction>
#include <QKeyEvent>
#include <QSlider>
#include <QTemporaryDir>

#include "WindowTestBase.h"
#include "app/uMain.h"
#include "display/uZorvinView.h"
#include "settings/uOption.h"

namespace {

// xkb key code of the number row's "8" on X11 and Wayland.
constexpr quint32 ScanCodeOf8 = 17;

} // namespace

class KeyBindingsTest : public TWindowTestBase {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(MakeSandbox());
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
            QImage picture(QSize(64, 48), QImage::Format_RGB32);
            picture.fill(Qt::darkCyan);
            QVERIFY(picture.save(Folder + QLatin1String(name), "BMP"));
        }
        Ran.clear();
    }

    void cleanup()
    {
        Window.reset();
    }

    // Out of the box, with the command handlers kept out so that Del and
    // Enter only count: each key runs its function, keypad Enter as Enter.
    void defaultKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("mods");
        QTest::addColumn<QStringList>("ran");
        const Qt::KeyboardModifiers none;
        QTest::newRow("Down") << int(Qt::Key_Down) << none << QStringList { "actNextImage" };
        QTest::newRow("Up") << int(Qt::Key_Up) << none << QStringList { "actPrevImage" };
        QTest::newRow("Enter") << int(Qt::Key_Return) << none << QStringList { "actFullScreen" };
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << Mods(Qt::KeypadModifier)
                                      << QStringList { "actFullScreen" };
        QTest::newRow("Del") << int(Qt::Key_Delete) << none << QStringList { "actDelete" };
        QTest::newRow("F5") << int(Qt::Key_F5) << none << QStringList { "actRefresh" };
        QTest::newRow("Shift+Down") << int(Qt::Key_Down) << Mods(Qt::ShiftModifier) << QStringList {};
        QTest::newRow("keypad 2") << int(Qt::Key_2) << Mods(Qt::KeypadModifier) << QStringList {};
    }

    void defaultKeys()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, mods);
        QFETCH(QStringList, ran);
        ShowFolder();
        for (QAction* action : Window->Actions().Functions())
            disconnect(action, &QAction::triggered, Window.get(), nullptr);
        QTest::keyClick(Window.get(), Qt::Key(key), mods);
        QCOMPARE(Ran, ran);
    }

    // Keys run the real commands, also while a control of the window has
    // the focus, and menus show each command's first key.
    void keysRunTheCommandsAheadOfTheControls()
    {
        ShowFolder();
        QCOMPARE(Act("actNextImage")->shortcut(), QKeySequence(Qt::Key_Down));
        QCOMPARE(Act("actRefresh")->shortcut(), QKeySequence(Qt::Key_F5));
        QSlider* bar = Window->PosBar();
        Window->activateWindow();
        QTRY_VERIFY(Window->isActiveWindow());
        bar->setFocus();
        QTest::keyClick(bar, Qt::Key_Down);
        QTRY_VERIFY(Window->windowTitle().contains(QStringLiteral("b.bmp  [2/3]")));
        QTest::keyClick(Window.get(), Qt::Key_Down);
        QTRY_VERIFY(Window->windowTitle().contains(QStringLiteral("c.bmp  [3/3]")));
        QTest::keyClick(Window.get(), Qt::Key_Up);
        QTRY_VERIFY(Window->windowTitle().contains(QStringLiteral("b.bmp  [2/3]")));
        QCOMPARE(Ran, (QStringList { "actNextImage", "actNextImage", "actPrevImage" }));
    }

    // Key texts as the settings file holds them: "Num 8" as a further key is
    // the keypad 8 only; Ctrl+Num 5 wants Ctrl; the modifier prefixes take
    // any case; a text that names no key is skipped by the keys after it.
    void keyTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("mods");
        QTest::addColumn<bool>("runs");
        const Qt::KeyboardModifiers none;
        const Qt::KeyboardModifiers pad = Qt::KeypadModifier;
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
        QTest::newRow("Num 8 second, keypad 8") << "F9,Num 8" << int(Qt::Key_8) << pad << true;
        QTest::newRow("Num 8 second, main 8") << "F9,Num 8" << int(Qt::Key_8) << none << false;
        QTest::newRow("Num 8 first, keypad 8") << "Num 8,F9" << int(Qt::Key_8) << pad << true;
        QTest::newRow("Num 8 second, F9") << "F9,Num 8" << int(Qt::Key_F9) << none << true;
        QTest::newRow("Ctrl+Num 5 with Ctrl") << "Ctrl+Num 5" << int(Qt::Key_5) << (ctrl | pad) << true;
        QTest::newRow("Ctrl+Num 5 without") << "Ctrl+Num 5" << int(Qt::Key_5) << pad << false;
        QTest::newRow("Ctrl+Num 5, main Ctrl+5") << "Ctrl+Num 5" << int(Qt::Key_5) << ctrl << false;
        QTest::newRow("ctrl+a") << "ctrl+a" << int(Qt::Key_A) << ctrl << true;
        QTest::newRow("CTRL+A") << "CTRL+A" << int(Qt::Key_A) << ctrl << true;
        QTest::newRow("Ctrl+A") << "Ctrl+A" << int(Qt::Key_A) << ctrl << true;
        QTest::newRow("Ctrl+A, plain A") << "Ctrl+A" << int(Qt::Key_A) << none << false;
        QTest::newRow("Ctrl+A, Ctrl+Shift+A") << "Ctrl+A" << int(Qt::Key_A) << (ctrl | Qt::ShiftModifier) << false;
        QTest::newRow("no key, then F9") << "Nokey,F9" << int(Qt::Key_F9) << none << true;
    }

    void keyTexts()
    {
        QFETCH(QString, text);
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, mods);
        QFETCH(bool, runs);
        ShowFolder();
        BindKeys("ZoomIn", text);
        QTest::keyClick(Window.get(), Qt::Key(key), mods);
        QCOMPARE(Ran, runs ? QStringList { "actZoomIn" } : QStringList {});
    }

    // One key bound to two functions runs the first in the command order,
    // which is not the table order, and both commands show the key.
    void keyConflictsGoByCommandOrder()
    {
        ShowFolder();
        KeepFromRunning("actExit");
        KeepFromRunning("actDelete");
        BindKeys("Close", QStringLiteral("F5"));  // Refresh has F5 already
        BindKeys("Delete", QStringLiteral("Del,Down"));  // NextImage has Down
        QCOMPARE(Act("actExit")->shortcut(), QKeySequence(Qt::Key_F5));
        QCOMPARE(Act("actRefresh")->shortcut(), QKeySequence(Qt::Key_F5));
        QCOMPARE(Act("actDelete")->shortcuts(), (QList<QKeySequence> { Qt::Key_Delete, Qt::Key_Down }));
        QTest::keyClick(Window.get(), Qt::Key_F5);
        QTest::keyClick(Window.get(), Qt::Key_Down);
        QCOMPARE(Ran, (QStringList { "actExit", "actDelete" }));
        QVERIFY(Window->isVisible());
    }

    // Shift+digit: the layout gives the character above the digit, the key
    // is still the number row's key of that digit.
    void shiftDigitIsTheNumberRowKey()
    {
        ShowFolder();
        BindKeys("ZoomIn", QStringLiteral("Shift+8"));
        BindKeys("ZoomOut", QStringLiteral("Shift+Num 8"));
        const auto press = [this](int key, Qt::KeyboardModifiers mods, quint32 scanCode, const QString& text) {
            QKeyEvent override(QEvent::ShortcutOverride, key, mods, scanCode, 0, 0, text);
            override.ignore();
            QApplication::sendEvent(Window.get(), &override);
            QKeyEvent event(QEvent::KeyPress, key, mods, scanCode, 0, 0, text);
            QApplication::sendEvent(Window.get(), &event);
            return override.isAccepted();
        };
        QVERIFY(press(Qt::Key_Asterisk, Qt::ShiftModifier, ScanCodeOf8, QStringLiteral("*")));
        QCOMPARE(Ran, QStringList { "actZoomIn" });
        // The keypad's "*" and a plain 8 are other keys.
        QVERIFY(!press(Qt::Key_Asterisk, Qt::KeypadModifier | Qt::ShiftModifier, 63, QStringLiteral("*")));
        QVERIFY(!press(Qt::Key_8, Qt::NoModifier, ScanCodeOf8, QStringLiteral("8")));
        QCOMPARE(Ran, QStringList { "actZoomIn" });
    }

    // New key texts take effect when applied, and the old keys go.
    void bindingsAppliedAgainReplaceTheOldKeys()
    {
        ShowFolder();
        KeepFromRunning("actDelete");
        Window->Option().ZvFuncs[0].Key = QStringLiteral("J");
        Window->Option().ZvFuncs[2].Key.clear();
        QTest::keyClick(Window.get(), Qt::Key_J);
        QCOMPARE(Ran, QStringList {});  // not applied yet
        Window->ApplyKeyBindings();
        QTest::keyClick(Window.get(), Qt::Key_Down);
        QTest::keyClick(Window.get(), Qt::Key_Delete);
        QCOMPARE(Ran, QStringList {});
        QVERIFY(Act("actDelete")->shortcuts().isEmpty());
        QTest::keyClick(Window.get(), Qt::Key_J);
        QCOMPARE(Ran, QStringList { "actNextImage" });
        QTRY_VERIFY(Window->windowTitle().contains(QStringLiteral("b.bmp  [2/3]")));
    }

    // A key bound to nothing is left to Qt: the menu bar's own keys work.
    void unboundKeysReachQt()
    {
        ShowFolder();
        QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_F, Qt::AltModifier);
        override.ignore();
        QApplication::sendEvent(Window.get(), &override);
        QVERIFY(!override.isAccepted());
        BindKeys("ZoomIn", QStringLiteral("Alt+F"));
        override.ignore();
        QApplication::sendEvent(Window.get(), &override);
        QVERIFY(override.isAccepted());
    }

private:
    static Qt::KeyboardModifiers Mods(Qt::KeyboardModifier m) { return m; }

    void ShowFolder()
    {
        Window = std::make_unique<TfrmMain>(Ini);
        for (QAction* action : Window->Actions().Functions())
            connect(action, &QAction::triggered, this, [this, action] { Ran << action->objectName(); });
        Window->SetStartPath(Folder);
        Window->show();
        QVERIFY(QTest::qWaitForWindowExposed(Window.get()));
        QTRY_VERIFY(Window->windowTitle().startsWith(Folder + QStringLiteral("a.bmp  [1/3]")));
    }

    void BindKeys(const char* function, const QString& keys)
    {
        for (TZvFunc& func : Window->Option().ZvFuncs)
            if (func.Name == QLatin1String(function))
                func.Key = keys;
        Window->ApplyKeyBindings();
    }

    // The command still counts as run, but its handler stays out.
    void KeepFromRunning(const char* name)
    {
        QVERIFY(disconnect(Act(name), &QAction::triggered, Window.get(), nullptr));
    }

    QAction* Act(const char* name) const { return Window->Actions()[name]; }

    std::unique_ptr<TfrmMain> Window;
    QStringList Ran;
};

QTEST_MAIN(KeyBindingsTest)
#include "keybindings_qtest.moc"

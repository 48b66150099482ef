#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "TestFiles.h"
#include "settings/Bindings.h"
#include "settings/uOption.h"

namespace {

using Funcs = std::array<TZvFunc, ZvFuncCount>;

constexpr int NextImage = FunctionNumber("NextImage");
constexpr int PrevImage = FunctionNumber("PrevImage");
constexpr int Delete = FunctionNumber("Delete");
constexpr int Close = FunctionNumber("Close");
constexpr int FullScreen = FunctionNumber("FullScreen");
constexpr int ShowOption = FunctionNumber("ShowOption");
constexpr int Refresh = FunctionNumber("Refresh");

// The forty functions as the settings object reads them from a Zorvin.ini
// holding the given text.
Funcs LoadedFuncs(const QByteArray& ini)
{
    QTemporaryDir dir;
    EXPECT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Zorvin.ini"));
    TestFiles::Write(path, ini);
    TOption option(path, QSize(1920, 1080));
    option.Load();
    return option.ZvFuncs;
}

// The built-in bindings, as a settings file without binding sections gives.
Funcs DefaultFuncs()
{
    return LoadedFuncs("[Option]\nLoopList=1\n");
}

// No function bound to anything.
Funcs UnboundFuncs()
{
    Funcs funcs = DefaultFuncs();
    for (TZvFunc& f : funcs)
        f.Key = f.Mouse = QString();
    return funcs;
}

TKeyStroke Press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    return StrokeOfKeyPress(key, mods);
}

TEST(DefaultBindings, KeysRunTheirFunctions)
{
    const TKeyBindings keys(DefaultFuncs());
    EXPECT_EQ(keys.Find(Press(Qt::Key_Down)), NextImage);
    EXPECT_EQ(keys.Find(Press(Qt::Key_Up)), PrevImage);
    EXPECT_EQ(keys.Find(Press(Qt::Key_Return)), FullScreen);
    EXPECT_EQ(keys.Find(Press(Qt::Key_Enter, Qt::KeypadModifier)), FullScreen);
    EXPECT_EQ(keys.Find(Press(Qt::Key_Delete)), Delete);
    EXPECT_EQ(keys.Find(Press(Qt::Key_F5)), Refresh);
    // Modifiers are part of the key: Shift+Down is not Down.
    EXPECT_EQ(keys.Find(Press(Qt::Key_Down, Qt::ShiftModifier)), -1);
    EXPECT_EQ(keys.Find(Press(Qt::Key_8, Qt::KeypadModifier)), -1);
    EXPECT_EQ(keys.Find(Press(Qt::Key_Shift, Qt::ShiftModifier)), -1);
}

TEST(DefaultBindings, GesturesRunTheirFunctions)
{
    const Funcs funcs = DefaultFuncs();
    EXPECT_EQ(FindGestureFunction(funcs, TGesture::WheelDown), NextImage);
    EXPECT_EQ(FindGestureFunction(funcs, TGesture::WheelUp), PrevImage);
    EXPECT_EQ(FindGestureFunction(funcs, TGesture::WheelClick), FullScreen);
    for (TGesture g : { TGesture::LeftClick, TGesture::LeftDouble, TGesture::RightClick,
             TGesture::RightDouble, TGesture::WheelDouble })
        EXPECT_EQ(FindGestureFunction(funcs, g), -1) << GestureName(g).toStdString();
}

struct KeyBindingCase {
    const char* binding; // NextImage's key text
    int key;
    Qt::KeyboardModifiers mods;
    bool runs;
};

class KeyBindingTable : public ::testing::TestWithParam<KeyBindingCase> { };

TEST_P(KeyBindingTable, PressRunsTheBoundFunction)
{
    const KeyBindingCase& c = GetParam();
    Funcs funcs = UnboundFuncs();
    funcs[NextImage].Key = QString::fromUtf8(c.binding);
    const TKeyBindings keys(funcs);
    EXPECT_EQ(keys.Find(Press(c.key, c.mods)), c.runs ? NextImage : -1) << c.binding;
}

constexpr Qt::KeyboardModifiers Pad = Qt::KeypadModifier;
constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;

INSTANTIATE_TEST_SUITE_P(Bindings, KeyBindingTable,
    ::testing::Values(
        // A second key works as well as a first one.
        KeyBindingCase { "Down,Num 8", Qt::Key_8, Pad, true },
        KeyBindingCase { "Num 8", Qt::Key_8, Pad, true },
        KeyBindingCase { "Down,Num 8", Qt::Key_8, Qt::NoModifier, false },
        KeyBindingCase { "Down,Num 8", Qt::Key_Down, Qt::NoModifier, true },
        KeyBindingCase { " Down , Space ,", Qt::Key_Space, Qt::NoModifier, true },
        // A key that names nothing does not spoil the others.
        KeyBindingCase { "Nothing,Space", Qt::Key_Space, Qt::NoModifier, true },
        KeyBindingCase { "Ctrl+Num 5", Qt::Key_5, Ctrl | Pad, true },
        KeyBindingCase { "Ctrl+Num 5", Qt::Key_5, Pad, false },
        KeyBindingCase { "Ctrl+Num 5", Qt::Key_5, Ctrl, false },
        KeyBindingCase { "Ctrl+Num 5", Qt::Key_5, Ctrl | Qt::ShiftModifier | Pad, false },
        KeyBindingCase { "ctrl+a", Qt::Key_A, Ctrl, true },
        KeyBindingCase { "CTRL+A", Qt::Key_A, Ctrl, true },
        KeyBindingCase { "Ctrl+A", Qt::Key_A, Ctrl, true },
        KeyBindingCase { "Ctrl+A", Qt::Key_A, Qt::NoModifier, false },
        KeyBindingCase { "8", Qt::Key_8, Pad, false },
        KeyBindingCase { "Enter", Qt::Key_Enter, Pad, true }));

// Bindings as a user writes them into Zorvin.ini by hand.
TEST(KeyBindings, SettingsFileBindingsRunTheirFunctions)
{
    const Funcs funcs = LoadedFuncs("[KeySettings]\nNextImage=Down, Num 8\nClose=^q,Esc\nRefresh=\n"
                                    "[MouseSettings]\nClose=MS_RIGHTDOUBLE\n");
    const TKeyBindings keys(funcs);
    EXPECT_EQ(keys.Find(Press(Qt::Key_8, Qt::KeypadModifier)), NextImage);
    EXPECT_EQ(keys.Find(Press(Qt::Key_Q, Qt::ControlModifier)), Close);
    EXPECT_EQ(keys.Find(Press(Qt::Key_Escape)), Close);
    EXPECT_EQ(keys.Find(Press(Qt::Key_F5)), -1);
    EXPECT_EQ(keys.Find(Press(Qt::Key_Delete)), Delete);
    EXPECT_EQ(FindGestureFunction(funcs, TGesture::RightDouble), Close);
}

TEST(KeyBindings, ItemsKeepTheirPlacesPrimaryFirst)
{
    Funcs funcs = UnboundFuncs();
    funcs[Delete].Key = QStringLiteral("Del,Nothing,Ctrl+D");
    const TKeyBindings keys(funcs);
    const QList<TKeyStroke> expected { TKeyStroke { Qt::Key_Delete, {} }, TKeyStroke {},
        TKeyStroke { Qt::Key_D, Qt::ControlModifier } };
    EXPECT_EQ(keys.Keys(Delete), expected);
    EXPECT_TRUE(keys.Keys(-1).isEmpty());
    EXPECT_TRUE(keys.Keys(ZvFuncCount).isEmpty());
    // An item that names no key installs an empty shortcut, which no press
    // matches, not even one that reads as no key.
    EXPECT_EQ(keys.Find(TKeyStroke {}), -1);
    EXPECT_EQ(keys.Find(Press(Qt::Key_unknown)), -1);
}

struct ConflictCase {
    int first;
    int second;
    int byKey; // runs when a key is bound to both
    int byGesture; // runs when a gesture is bound to both
};

class ConflictTable : public ::testing::TestWithParam<ConflictCase> { };

// A key goes by the main window's command order, a gesture by table order.
TEST_P(ConflictTable, KeysAndGesturesGoByTheirOwnOrders)
{
    const ConflictCase& c = GetParam();
    for (const auto& [a, b] :
        { std::pair { c.first, c.second }, std::pair { c.second, c.first } }) {
        Funcs funcs = UnboundFuncs();
        funcs[size_t(a)].Key = QStringLiteral("F5");
        funcs[size_t(b)].Key = QStringLiteral("Space,F5");
        funcs[size_t(a)].Mouse = QStringLiteral("MS_LEFTCLICK");
        funcs[size_t(b)].Mouse = QStringLiteral("MS_WHEELUP,MS_LEFTCLICK");
        EXPECT_EQ(TKeyBindings(funcs).Find(Press(Qt::Key_F5)), c.byKey);
        EXPECT_EQ(FindGestureFunction(funcs, TGesture::LeftClick), c.byGesture);
    }
}

INSTANTIATE_TEST_SUITE_P(Pairs, ConflictTable,
    ::testing::Values(ConflictCase { Refresh, Close, Close, Close },
        ConflictCase { NextImage, Delete, Delete, NextImage },
        ConflictCase { ShowOption, FullScreen, ShowOption, FullScreen }));

TEST(CommandOrder, RunsFromCloseToRefresh)
{
    EXPECT_EQ(CommandOrder.front(), Close);
    EXPECT_EQ(CommandOrder[1], ShowOption);
    EXPECT_EQ(CommandOrder[17], FunctionNumber("Execute1"));
    EXPECT_EQ(CommandOrder[26], FunctionNumber("Execute10"));
    EXPECT_EQ(CommandOrder[31], FunctionNumber("DragLeft2"));
    EXPECT_EQ(CommandOrder.back(), Refresh);
    EXPECT_EQ(FunctionNumber("refresh"), -1);
}

struct GestureItemCase {
    const char* mouse; // PrevImage's gesture text
    bool runs; // MS_WHEELDOWN runs PrevImage
};

class GestureItemTable : public ::testing::TestWithParam<GestureItemCase> { };

// Identifiers are whole items in exact case; anything else never matches.
TEST_P(GestureItemTable, WholeItemsOnly)
{
    const GestureItemCase& c = GetParam();
    Funcs funcs = UnboundFuncs();
    funcs[PrevImage].Mouse = QString::fromUtf8(c.mouse);
    EXPECT_EQ(FindGestureFunction(funcs, TGesture::WheelDown), c.runs ? PrevImage : -1) << c.mouse;
}

INSTANTIATE_TEST_SUITE_P(Items, GestureItemTable,
    ::testing::Values(GestureItemCase { "MS_WHEELDOWN", true },
        GestureItemCase { " MS_WHEELUP , MS_WHEELDOWN ", true },
        GestureItemCase { ",,MS_WHEELDOWN,", true }, GestureItemCase { "ms_wheeldown", false },
        GestureItemCase { "MS_WHEELDOWNX", false }, GestureItemCase { "XMS_WHEELDOWN", false },
        GestureItemCase { "MS_WHEEL DOWN", false }, GestureItemCase { "", false }));

TEST(Gestures, IdentifiersAndDisplayNames)
{
    const std::array<std::pair<const char*, const char*>, GestureCount> expected { {
        { "MS_LEFTCLICK", "左クリック" },
        { "MS_LEFTDOUBLE", "左ダブルクリック" },
        { "MS_RIGHTCLICK", "右クリック" },
        { "MS_RIGHTDOUBLE", "右ダブルクリック" },
        { "MS_WHEELDOWN", "ホイール↓" },
        { "MS_WHEELUP", "ホイール↑" },
        { "MS_WHEELCLICK", "ホイールクリック" },
        { "MS_WHEELDOUBLE", "ホイールダブルクリック" },
    } };
    for (int i = 0; i < GestureCount; ++i) {
        const TGesture g = TGesture(i);
        EXPECT_EQ(GestureName(g), QString::fromUtf8(expected[size_t(i)].first));
        EXPECT_EQ(GestureCaption(g), QString::fromUtf8(expected[size_t(i)].second));
        EXPECT_EQ(GestureFromName(GestureName(g)), g);
    }
    EXPECT_FALSE(GestureFromName(u"ms_leftclick").has_value());
    EXPECT_FALSE(GestureFromName(u"MS_LEFTCLICK ").has_value());
    EXPECT_FALSE(GestureFromName(u"").has_value());
}

} // namespace

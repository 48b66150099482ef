#pragma once

#include <QList>
#include <QString>
#include <span>
#include <vector>
#include <array>

class QAction;
class QIcon;
class QActionGroup;
class TfrmMain;

// When a command may run. Rules are re-run before every execution, so a
// disabled command does nothing from any route (menu, toolbar, key, gesture).
enum class TEnableRule {
    Always,      // no rule
    Image,       // exactly while the view holds an image
    FullScreen,  // while the view holds an image or the window is in full screen
    Never,       // disabled from creation (the loupe, which does nothing)
};

using TActionHandler = void (TfrmMain::*)(QAction* sender);

// One command of the main window. The table of these is the whole command
// set: menus, toolbars and bindings refer to the actions by name.
struct TActionDef {
    const char* Name;
    const char* Caption;  // UTF-8
    const char* Hint;     // UTF-8, may be empty
    const char* Category; // UTF-8, may be empty
    int Icon;             // index in the toolbar's icon strip, -1 for none
    const char* ThemeIcon;  // freedesktop icon name, may be empty; ours when the theme lacks it
    bool Checkable;
    int Group;            // radio group, 0 for none
    bool Checked;         // mark at start
    int Tag;
    TEnableRule Rule;
    TActionHandler Execute;
    const char* Shortcut; // default key until the binding table is applied
};

// The main window's action list: one QAction per command of the table,
// owned by the window, plus the ordered list of the 40 bindable functions.
class TMainActions {
public:
    explicit TMainActions(TfrmMain* owner);

    static std::span<const TActionDef> Table();
    // Setting keys of the bindable functions, in function-number order.
    static std::span<const char* const> FunctionKeys();

    QAction* Find(const QString& name) const;
    QAction* operator[](const char* name) const { return Find(QString::fromLatin1(name)); }
    const QList<QAction*>& All() const { return Actions; }
    // Function n is Functions()[n].
    const QList<QAction*>& Functions() const { return FunctionList; }

    // Icons from the desktop's theme. The lookups cost more than decoding a
    // small image, so only the toolbar's buttons get theirs at creation
    // (LoadIcon); the others follow once the first image is up (LoadIcons).
    // A name the theme lacks gets ours (ShippedIcon).
    void LoadIcon(QAction* action);
    void LoadIcons();
    // The icons we ship, one file per size at ":/icons/<size>/<name>.png";
    // null for a name we have none of.
    static constexpr std::array<int, 3> ShippedIconSizes {16, 24, 32};
    static QIcon ShippedIcon(const QString& name);

    // Re-runs every enabling rule.
    void Update(bool hasImage, bool fullScreen);
    // Re-runs the rule of one action; true when it may run.
    bool Allowed(QAction* action, bool hasImage, bool fullScreen) const;

private:
    QList<QAction*> Actions;
    QList<QAction*> FunctionList;
    std::vector<const TActionDef*> ActionDefs;  // parallel to Actions
};

#include "app/MainActions.h"

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QIcon>
#include <QKeySequence>
#include <map>

#include "app/uMain.h"

namespace {

using R = TEnableRule;
using F = TfrmMain;

// clang-format off
constexpr TActionDef Defs[] = {
    // File and application
    {"actOpen", "開く(&O)", "開く", "ファイル", 5, "document-open", false, 0, false, 0, R::Always, &F::actOpenExecute, ""},
    {"actOpenCurDir", "現在のフォルダを開く", "", "", -1, "folder-open", false, 0, false, 0, R::Image, &F::actOpenCurDirExecute, ""},
    {"actShowProperty", "プロパティ(&R)", "この画像ファイルのプロパティを表示します", "ファイル", 15, "document-properties", false, 0, false, 0, R::Image, &F::actShowPropertyExecute, ""},
    {"actExit", "終了(&X)", "", "ファイル", 16, "application-exit", false, 0, false, 0, R::Always, &F::actExitExecute, ""},
    {"actShowOption", "オプション(&O)", "", "ツール", 11, "preferences-system", false, 0, false, 0, R::Always, &F::actShowOptionExecute, ""},
    {"actShowRegProgDlg", "外部プログラム登録(&R)", "", "", -1, "", false, 0, false, 0, R::Always, &F::actShowRegProgDlgExecute, ""},
    {"actShowRegFolderDlg", "フォルダ登録(&R)", "", "", -1, "", false, 0, false, 0, R::Always, &F::actShowRegFolderDlgExecute, ""},
    {"actCustomizeToolBar", "ツールバーのカスタマイズ(&C)", "", "", -1, "", false, 0, false, 0, R::Always, &F::actCustomizeToolBarExecute, ""},
    {"actShowAbout", "バージョン情報(&V)", "", "", -1, "help-about", false, 0, false, 0, R::Always, &F::actShowAboutExecute, ""},
    {"actToggleMenu", "メニューの表示", "", "", -1, "", true, 0, true, 0, R::Always, &F::actToggleMenuExecute, ""},
    {"actShowTop", "常に最前面に表示", "", "", 14, "go-top", true, 0, false, 0, R::Always, &F::actShowTopExecute, ""},
    // View
    {"actNextImage", "次の画像を表示", "次の画像", "", 1, "go-next", false, 0, false, 0, R::Image, &F::actNextImageExecute, "Down"},
    {"actPrevImage", "前の画像を表示", "前の画像", "", 0, "go-previous", false, 0, false, 0, R::Image, &F::actPrevImageExecute, "Up"},
    {"actZoomIn", "拡大", "拡大", "画像の表示サイズ", 3, "zoom-in", false, 0, false, 0, R::Image, &F::actZoomInExecute, ""},
    {"actZoomOut", "縮小", "縮小", "画像の表示サイズ", 2, "zoom-out", false, 0, false, 0, R::Image, &F::actZoomOutExecute, ""},
    {"actShowWindowSize", "ウィンドウに収まるように表示", "", "画像の表示サイズ", 7, "zoom-fit-best", true, 5, true, 0, R::Image, &F::actShowResizedExecute, ""},
    {"actShowActualSize", "実際のサイズで表示", "", "画像の表示サイズ", 8, "zoom-original", true, 5, false, 0, R::Image, &F::actShowResizedExecute, ""},
    {"actSWShowMode", "等倍・全体表示切り替え", "", "", -1, "", false, 0, false, 0, R::Image, &F::actSWShowModeExecute, ""},
    {"actFullScreen", "フルスクリーン表示", "", "ツール", 6, "view-fullscreen", false, 0, false, 0, R::FullScreen, &F::actFullScreenExecute, "Return"},
    {"actShowOverview", "オーバービュー表示", "", "", -1, "", true, 0, false, 0, R::Image, &F::actShowOverviewExecute, ""},
    {"actCloseOverview", "オーバービューを閉じる", "", "", -1, "", false, 0, false, 0, R::Always, &F::actCloseOverviewExecute, ""},
    {"actRefresh", "最新の状態に更新", "", "", -1, "view-refresh", false, 0, false, 0, R::Image, &F::actRefreshExecute, "F5"},
    // File operations
    {"actSetWallPaper", "壁紙にする", "", "ツール", 10, "preferences-desktop-wallpaper", false, 0, false, 0, R::Image, &F::actSetWallPaperExecute, ""},
    {"actDelete", "削除", "", "", 4, "edit-delete", false, 0, false, 0, R::Image, &F::actDeleteExecute, "Del"},
    {"actCopyFile", "指定したフォルダへコピー", "", "", -1, "edit-copy", false, 0, false, 0, R::Image, &F::actCopyFileExecute, ""},
    {"actMoveFile", "指定したフォルダへ移動", "", "", -1, "", false, 0, false, 0, R::Image, &F::actMoveFileExecute, ""},
    {"actRotateRight", "右に90度回転", "", "", 20, "object-rotate-right", false, 0, false, 0, R::Image, &F::actRotateRightExecute, ""},
    {"actRotateLeft", "左に90度回転", "", "", 21, "object-rotate-left", false, 0, false, 0, R::Image, &F::actRotateLeftExecute, ""},
    {"actExecute1", "外部プログラム1の実行", "", "", 39, "system-run", false, 0, false, 1, R::Image, &F::actProgramRun, ""},
    {"actExecute2", "外部プログラム2の実行", "", "", 40, "system-run", false, 0, false, 2, R::Image, &F::actProgramRun, ""},
    {"actExecute3", "外部プログラム3の実行", "", "", 41, "system-run", false, 0, false, 3, R::Image, &F::actProgramRun, ""},
    {"actExecute4", "外部プログラム4の実行", "", "", 42, "system-run", false, 0, false, 4, R::Image, &F::actProgramRun, ""},
    {"actExecute5", "外部プログラム5の実行", "", "", 43, "system-run", false, 0, false, 5, R::Image, &F::actProgramRun, ""},
    {"actExecute6", "外部プログラム6の実行", "", "", 44, "system-run", false, 0, false, 6, R::Image, &F::actProgramRun, ""},
    {"actExecute7", "外部プログラム7の実行", "", "", 45, "system-run", false, 0, false, 7, R::Image, &F::actProgramRun, ""},
    {"actExecute8", "外部プログラム8の実行", "", "", 46, "system-run", false, 0, false, 8, R::Image, &F::actProgramRun, ""},
    {"actExecute9", "外部プログラム9の実行", "", "", 47, "system-run", false, 0, false, 9, R::Image, &F::actProgramRun, ""},
    {"actExecute10", "外部プログラム10の実行", "", "", 48, "system-run", false, 0, false, 10, R::Image, &F::actProgramRun, ""},
    // Slideshow and sorting
    {"ActSlideShow", "スライドショー", "", "", -1, "", false, 0, false, 0, R::Image, &F::ActSlideShowExecute, ""},
    {"actPauseSlideShow", "スライドショーの停止/再開", "", "", -1, "", false, 0, false, 0, R::Image, &F::actPauseSlideShowExecute, ""},
    {"actSortName", "名前順", "", "", -1, "", true, 7, true, 0, R::Image, &F::actSortRandomExecute, ""},
    {"actSortSize", "ファイルサイズ順", "", "", -1, "", true, 7, false, 1, R::Image, &F::actSortRandomExecute, ""},
    {"actSortDate", "日付順", "", "", -1, "", true, 7, false, 2, R::Image, &F::actSortRandomExecute, ""},
    {"actSortRandom", "ランダム", "", "", -1, "", true, 7, false, 3, R::Image, &F::actSortRandomExecute, ""},
    {"actSortAscend", "昇順", "", "", -1, "", true, 0, true, 0, R::Image, &F::actSortAscendExecute, ""},
    // Drag commands: reached through bindings only
    {"actDragLeft", "actDragLeft", "", "", -1, "", false, 0, false, 0, R::Image, &F::actDragExecute, ""},
    {"actDragLeft2", "actDragLeft2", "", "", -1, "", false, 0, false, 0, R::Image, &F::actDragExecute, ""},
    {"actDragRight", "actDragRight", "", "", -1, "", false, 0, false, 0, R::Image, &F::actDragExecute, ""},
    {"actDragRight2", "actDragRight2", "", "", -1, "", false, 0, false, 0, R::Image, &F::actDragExecute, ""},
    {"actDragTop", "actDragTop", "", "", -1, "", false, 0, false, 0, R::Image, &F::actDragExecute, ""},
    {"actDragTop2", "actDragTop2", "", "", -1, "", false, 0, false, 0, R::Image, &F::actDragExecute, ""},
    {"actDragBottom", "actDragBottom", "", "", -1, "", false, 0, false, 0, R::Image, &F::actDragExecute, ""},
    {"actDragBottom2", "actDragBottom2", "", "", -1, "", false, 0, false, 0, R::Image, &F::actDragExecute, ""},
    // In the list but in no menu, toolbar or function list
    {"actLoupe", "ルーペ", "", "", -1, "", true, 0, false, 0, R::Never, &F::actLoupeExecute, ""},
};

// Function number n is entry n; the names are also the binding setting keys.
constexpr const char* FunctionActions[][2] = {
    {"NextImage", "actNextImage"}, {"PrevImage", "actPrevImage"}, {"Delete", "actDelete"},
    {"Close", "actExit"}, {"FullScreen", "actFullScreen"}, {"StayOnTop", "actShowTop"},
    {"Execute1", "actExecute1"}, {"Execute2", "actExecute2"}, {"Execute3", "actExecute3"},
    {"Execute4", "actExecute4"}, {"Execute5", "actExecute5"}, {"Execute6", "actExecute6"},
    {"Execute7", "actExecute7"}, {"Execute8", "actExecute8"}, {"Execute9", "actExecute9"},
    {"Execute10", "actExecute10"}, {"ZoomIn", "actZoomIn"}, {"ZoomOut", "actZoomOut"},
    {"SetWallPaper", "actSetWallPaper"}, {"ShowProperty", "actShowProperty"},
    {"ShowActSize", "actShowActualSize"}, {"ShowWinSize", "actShowWindowSize"},
    {"SWShowMode", "actSWShowMode"}, {"RotateRight", "actRotateRight"},
    {"RotateLeft", "actRotateLeft"}, {"PauseSlideShow", "actPauseSlideShow"},
    {"OverView", "actShowOverview"}, {"MoveFile", "actMoveFile"}, {"CopyFile", "actCopyFile"},
    {"DragLeft", "actDragLeft"}, {"DragRight", "actDragRight"}, {"DragTop", "actDragTop"},
    {"DragBottom", "actDragBottom"}, {"DragLeft2", "actDragLeft2"},
    {"DragRight2", "actDragRight2"}, {"DragTop2", "actDragTop2"},
    {"DragBottom2", "actDragBottom2"}, {"ShowOption", "actShowOption"},
    {"ToggleMenu", "actToggleMenu"}, {"Refresh", "actRefresh"},
};
// clang-format on

constexpr auto MakeFunctionKeys()
{
    std::array<const char*, std::size(FunctionActions)> keys {};
    for (size_t i = 0; i < keys.size(); ++i)
        keys[i] = FunctionActions[i][0];
    return keys;
}
constexpr auto FunctionKeyList = MakeFunctionKeys();

QIcon ActionIcon(const TActionDef& def)
{
    if (!*def.ThemeIcon)
        return {};
    const QString name = QString::fromLatin1(def.ThemeIcon);
    // Asked first, so that ours is not decoded when the theme has the icon.
    QIcon themed = QIcon::fromTheme(name);
    if (!themed.isNull() && !themed.availableSizes().isEmpty())
        return themed;
    return TMainActions::ShippedIcon(name);
}

} // namespace

std::span<const TActionDef> TMainActions::Table()
{
    return Defs;
}

std::span<const char* const> TMainActions::FunctionKeys()
{
    return FunctionKeyList;
}

TMainActions::TMainActions(TfrmMain* owner)
{
    std::map<int, QActionGroup*> groups;
    for (const TActionDef& def : Defs) {
        auto* action = new QAction(QString::fromUtf8(def.Caption), owner);
        action->setObjectName(QString::fromLatin1(def.Name));
        const QString hint = QString::fromUtf8(def.Hint);
        if (!hint.isEmpty()) {
            action->setToolTip(hint);
            action->setStatusTip(hint);
        }
        action->setData(def.Tag);
        // For the toolbar customizer: its grouping and the picture's place
        // in the icon strip.
        action->setProperty("Category", QString::fromUtf8(def.Category));
        action->setProperty("IconIndex", def.Icon);
        action->setCheckable(def.Checkable);
        action->setChecked(def.Checked);
        action->setIconVisibleInMenu(false);
        if (def.Group != 0) {
            QActionGroup*& group = groups[def.Group];
            if (!group)
                group = new QActionGroup(owner);
            group->addAction(action);
        }
        if (*def.Shortcut) {
            QList<QKeySequence> keys {QKeySequence(QString::fromLatin1(def.Shortcut))};
            if (std::string_view(def.Shortcut) == "Return")
                keys << QKeySequence(Qt::Key_Enter);
            action->setShortcuts(keys);
            // The window sees keys before its controls do.
            action->setShortcutContext(Qt::WindowShortcut);
        }
        if (def.Rule == TEnableRule::Never)
            action->setEnabled(false);
        const TActionHandler handler = def.Execute;
        QObject::connect(action, &QAction::triggered, owner,
                         [owner, action, handler] { owner->RunAction(action, handler); });
        owner->addAction(action);
        Actions << action;
        ActionDefs.push_back(&def);
    }
    for (const auto& entry : FunctionActions)
        FunctionList << Find(QString::fromLatin1(entry[1]));
}

QAction* TMainActions::Find(const QString& name) const
{
    for (QAction* action : Actions) {
        if (action->objectName() == name)
            return action;
    }
    return nullptr;
}

bool TMainActions::Allowed(QAction* action, bool hasImage, bool fullScreen) const
{
    const qsizetype i = Actions.indexOf(action);
    if (i < 0)
        return false;
    switch (ActionDefs[size_t(i)]->Rule) {
    case TEnableRule::Always:
        return true;
    case TEnableRule::Image:
        return hasImage;
    case TEnableRule::FullScreen:
        return hasImage || fullScreen;
    case TEnableRule::Never:
        return action->isEnabled();
    }
    return false;
}

QIcon TMainActions::ShippedIcon(const QString& name)
{
    QIcon icon;
    for (int size : ShippedIconSizes) {
        const QString path = QStringLiteral(":/icons/%1/%2.png").arg(size).arg(name);
        if (QFile::exists(path))
            icon.addFile(path, QSize(size, size));
    }
    return icon;
}

void TMainActions::LoadIcon(QAction* action)
{
    const qsizetype i = Actions.indexOf(action);
    if (i >= 0 && action->icon().isNull())
        action->setIcon(ActionIcon(*ActionDefs[size_t(i)]));
}

void TMainActions::LoadIcons()
{
    for (QAction* action : Actions)
        LoadIcon(action);
}

void TMainActions::Update(bool hasImage, bool fullScreen)
{
    for (QAction* action : Actions)
        action->setEnabled(Allowed(action, hasImage, fullScreen));
}

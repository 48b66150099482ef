#pragma once

#include <QString>
#include <array>

// One bindable function of the main window: its name (also its key in the
// MouseSettings and KeySettings sections), its key-binding text (a comma list
// of key texts) and its mouse-binding text (a comma list of gesture names).
struct TZvFunc {
    QString Name;
    QString Key;
    QString Mouse;
};

// The fixed table of the forty bindable functions; a function's number is its
// position here. The caption is the built-in text of the localisable constant
// "ZVF_" + Name.
struct TZvFuncInfo {
    const char* Name;
    const char* DefaultKey;
    const char* DefaultMouse;
    const char* Caption; // UTF-8
};

inline constexpr int ZvFuncCount = 40;

inline constexpr std::array<TZvFuncInfo, ZvFuncCount> ZvFuncTable { {
    { "NextImage", "Down", "MS_WHEELDOWN", "次の画像" },
    { "PrevImage", "Up", "MS_WHEELUP", "前の画像" },
    { "Delete", "Del", "", "削除" },
    { "Close", "", "", "終了" },
    { "FullScreen", "Enter", "MS_WHEELCLICK", "全画面表示" },
    { "StayOnTop", "", "", "常に最前面に表示" },
    { "Execute1", "", "", "外部プログラム1の実行" },
    { "Execute2", "", "", "外部プログラム2の実行" },
    { "Execute3", "", "", "外部プログラム3の実行" },
    { "Execute4", "", "", "外部プログラム4の実行" },
    { "Execute5", "", "", "外部プログラム5の実行" },
    { "Execute6", "", "", "外部プログラム6の実行" },
    { "Execute7", "", "", "外部プログラム7の実行" },
    { "Execute8", "", "", "外部プログラム8の実行" },
    { "Execute9", "", "", "外部プログラム9の実行" },
    { "Execute10", "", "", "外部プログラム10の実行" },
    { "ZoomIn", "", "", "拡大" },
    { "ZoomOut", "", "", "縮小" },
    { "SetWallPaper", "", "", "壁紙にする" },
    { "ShowProperty", "", "", "ファイルのプロパティを表示" },
    { "ShowActSize", "", "", "実際のサイズで表示" },
    { "ShowWinSize", "", "", "ウィンドウに納めて表示" },
    { "SWShowMode", "", "", "等倍/全体表示切り替え" },
    { "RotateRight", "", "", "右に90度回転" },
    { "RotateLeft", "", "", "左に90度回転" },
    { "PauseSlideShow", "", "", "スライドショー停止/再開" },
    { "OverView", "", "", "オーバービュー表示" },
    { "MoveFile", "", "", "指定したフォルダに移動" },
    { "CopyFile", "", "", "指定したフォルダにコピー" },
    { "DragLeft", "", "", "左にドラッグ" },
    { "DragRight", "", "", "右にドラッグ" },
    { "DragTop", "", "", "上にドラッグ" },
    { "DragBottom", "", "", "下にドラッグ" },
    { "DragLeft2", "", "", "左に大きくドラッグ" },
    { "DragRight2", "", "", "右に大きくドラッグ" },
    { "DragTop2", "", "", "上に大きくドラッグ" },
    { "DragBottom2", "", "", "下に大きくドラッグ" },
    { "ShowOption", "", "", "オプション設定" },
    { "ToggleMenu", "", "", "メニューバーの表示" },
    { "Refresh", "F5", "", "最新の状態に更新" },
} };

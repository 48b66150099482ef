// The main window's command handlers. Each runs only when its action's
// enabling rule allows it (TfrmMain::RunAction), so a handler that needs an
// image may take the view's image for granted.

#include "app/uMain.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

#include <algorithm>

#include "app/uAbout.h"
#include "display/uZorvinView.h"
#include "settings/uOption.h"

namespace {

// "Name|*.A;*.B" in Qt's form "Name (*.A *.B *.a *.b)": Linux names are
// case-sensitive, so both letter cases are offered.
QString QtFilter(const char* filter)
{
    const QString text = QString::fromLatin1(filter);
    const QString name = text.section(QLatin1Char('|'), 0, 0);
    const QStringList upper = text.section(QLatin1Char('|'), 1).split(QLatin1Char(';'));
    QStringList patterns = upper;
    for (const QString& pattern : upper)
        patterns << pattern.toLower();
    return name + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

} // namespace

void TfrmMain::actOpenExecute(QAction*)
{
    StopSlideShow();
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(), QtFilter(OpenFilter));
    if (!path.isEmpty())
        OpenPath(path, false);
}

void TfrmMain::actOpenCurDirExecute(QAction*)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(FView->CurrentFolder()));
}

// Commands whose work comes with later pieces of the program: they exist
// now with their captions and enabling rules, and do nothing yet.
void TfrmMain::actShowPropertyExecute(QAction*) {}     // file properties
void TfrmMain::actShowOptionExecute(QAction*) { StopSlideShow(); } // options dialog
void TfrmMain::actCustomizeToolBarExecute(QAction*) {} // toolbar customizer
void TfrmMain::actShowOverviewExecute(QAction*) {}     // overview window
void TfrmMain::actCloseOverviewExecute(QAction*) {}    // overview window
void TfrmMain::actSetWallPaperExecute(QAction*) {}     // wallpaper
void TfrmMain::actDeleteExecute(QAction*) {}           // delete with confirmation
void TfrmMain::actCopyFileExecute(QAction*) {}         // copy to a chosen folder
void TfrmMain::actMoveFileExecute(QAction*) {}         // move to a chosen folder
void TfrmMain::actProgramRun(QAction*) {}              // external programs
void TfrmMain::actLoupeExecute(QAction*) {}            // never enabled

void TfrmMain::actShowRegProgDlgExecute(QAction*)
{
    FOptionPage = 3;  // "外部プログラム"
    Act("actShowOption")->trigger();
}

void TfrmMain::actShowRegFolderDlgExecute(QAction*)
{
    FOptionPage = 1;  // "ファイル操作"
    Act("actShowOption")->trigger();
}

void TfrmMain::actExitExecute(QAction*)
{
    close();
}

void TfrmMain::actShowAboutExecute(QAction*)
{
    TfrmAbout about(this);
    about.exec();
}

void TfrmMain::actToggleMenuExecute(QAction* sender)
{
    // The mark has toggled already; the dock follows it, and the image area's
    // new size redraws the view.
    FDock->setVisible(sender->isChecked());
}

void TfrmMain::actShowTopExecute(QAction* sender)
{
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, sender->isChecked());
    if (shown)
        show();  // Qt hides a window whose flags change; state and place stay
}

void TfrmMain::actNextImageExecute(QAction*)
{
    NextImage();
}

void TfrmMain::actPrevImageExecute(QAction*)
{
    PrevImage();
}

void TfrmMain::actZoomInExecute(QAction*)
{
    const int step = TZorvinView::ZoomInStep(FView->Zoom());
    if (step > 0)
        FView->ZoomTo(step);
}

void TfrmMain::actZoomOutExecute(QAction*)
{
    const int step = TZorvinView::ZoomOutStep(FView->Zoom());
    if (step > 0)
        FView->ZoomTo(step);
}

void TfrmMain::actShowResizedExecute(QAction*)
{
    FView->SetActualSize(Act("actShowActualSize")->isChecked());
}

void TfrmMain::actSWShowModeExecute(QAction*)
{
    if (!Act("actShowActualSize")->isChecked())
        Act("actShowActualSize")->trigger();
    else
        Act("actShowWindowSize")->trigger();
}

void TfrmMain::actRefreshExecute(QAction*)
{
    FView->RefreshList();
}

void TfrmMain::actRotateRightExecute(QAction*)
{
    FView->RotateCurrentRight();
}

void TfrmMain::actRotateLeftExecute(QAction*)
{
    FView->RotateCurrentLeft();
}

void TfrmMain::actSortRandomExecute(QAction* sender)
{
    FOption->SortOrder = uint8_t(sender->data().toInt());
    FView->SetSortOrder(FOption->SortOrder, Act("actSortAscend")->isChecked());
}

void TfrmMain::actSortAscendExecute(QAction* sender)
{
    // SortAscend itself is taken from the mark when the window closes.
    FView->SetSortOrder(FOption->SortOrder, sender->isChecked());
}

void TfrmMain::actDragExecute(QAction* sender)
{
    const QString name = sender->objectName();
    // Distances are used as read from the settings file; one beyond any
    // picture is dropped whole by the view, so the clamp changes nothing
    // but keeps the negation defined.
    constexpr int Limit = 1 << 30;
    const int step = std::clamp(name.endsWith(QLatin1Char('2')) ? FOption->DragPixel2 : FOption->DragPixel,
                                -Limit, Limit);
    int dx = 0;
    int dy = 0;
    if (name.startsWith(QLatin1String("actDragLeft")))
        dx = -step;
    else if (name.startsWith(QLatin1String("actDragRight")))
        dx = step;
    else if (name.startsWith(QLatin1String("actDragTop")))
        dy = -step;
    else
        dy = step;
    ScrollView(dx, dy);
}

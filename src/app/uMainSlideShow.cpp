// The slideshow: a timer that steps through the list. A start may switch the
// window to full screen, the list to random order and the enlarge setting to
// the show's own; a stop puts all three back as they were at the start.

#include "app/uMain.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

#include "app/uSlideShow.h"
#include "display/uZorvinView.h"
#include "settings/SlideShowScale.h"
#include "settings/uOption.h"

namespace {

constexpr int InitialInterval = 3000;  // ms, until a show sets its own

// The sort commands by SortOrder: name, size, date, random.
constexpr const char* SortActions[] = {"actSortName", "actSortSize", "actSortDate", "actSortRandom"};
constexpr uint8_t RandomOrder = 3;

} // namespace

void TfrmMain::InitSlideShow()
{
    FSlideShowTimer = new QTimer(this);
    // Kept to the millisecond: a coarse timer may bring a step a twentieth
    // of the interval early or late, minutes for an interval of an hour.
    FSlideShowTimer->setTimerType(Qt::PreciseTimer);
    FSlideShowTimer->setInterval(InitialInterval);
    connect(FSlideShowTimer, &QTimer::timeout, this, &TfrmMain::SlideShowTimerTimer);
}

bool TfrmMain::SlideShowRunning() const
{
    return FSlideShowTimer->isActive();
}

void TfrmMain::ActSlideShowExecute(QAction*)
{
    StopSlideShow();
    TfrmSlideShow dialog(this);
    dialog.LoadFrom(FOption->SlideShow);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.SaveTo(FOption->SlideShow);
    StartSlideShow();
}

void TfrmMain::actPauseSlideShowExecute(QAction*)
{
    if (SlideShowRunning())
        StopSlideShow();
    else
        FSlideShowTimer->start();  // resumes only: nothing is switched or replaced
}

void TfrmMain::StartSlideShow()
{
    const TSlideShowOption& show = FOption->SlideShow;
    QAction* random = Act(SortActions[RandomOrder]);
    FSlideShowReplaced = true;
    FSavedEnlargePicture = FOption->EnlargePicture;
    FSavedFullScreen = FFullScreen;
    FSavedRandomChecked = random->isChecked();
    FSavedSortOrder = FOption->SortOrder;

    if (!FFullScreen && show.FullScr)
        actFullScreenExecute(Act("actFullScreen"));
    if (show.Random) {
        random->setChecked(true);
        actSortRandomExecute(random);
    }
    FOption->EnlargePicture = show.Enlarge;
    // The show goes on from the current image; the first step comes one
    // interval later.
    FSlideShowTimer->start(SlideShowScale::ConfirmedInterval(show.Interval));
    UpdateActions();
}

void TfrmMain::StopSlideShow()
{
    if (!SlideShowRunning())
        return;
    FSlideShowTimer->stop();
    // Only a start replaces values, and its stop puts them back once. A show
    // resumed by the pause command replaced nothing, so its stop leaves the
    // enlarge setting, the order and the full screen as the user has them,
    // also when the user changed them while the show was paused.
    if (!FSlideShowReplaced)
        return;
    FSlideShowReplaced = false;
    FOption->EnlargePicture = FSavedEnlargePicture;
    if (!FSavedRandomChecked && FOption->SlideShow.Random && FSavedSortOrder < RandomOrder) {
        QAction* sort = Act(SortActions[FSavedSortOrder]);
        sort->setChecked(true);
        actSortRandomExecute(sort);
    }
    if (FFullScreen && !FSavedFullScreen)
        actFullScreenExecute(Act("actFullScreen"));
    UpdateActions();
}

void TfrmMain::SlideShowTimerTimer()
{
    if (!FView)
        return;
    // While a modal window is up (a confirmation, a folder choice) the image
    // it was opened for stays: a step there would leave the box asking about
    // one file and the command then acting on another. The show waits for
    // the next interval.
    if (QApplication::activeModalWidget())
        return;
    if (!FOption->SlideShow.Repeat && FView->IsAtEnd()) {
        StopSlideShow();
        return;
    }
    // The next-image handler itself, whatever its command's state: with
    // LoopList off the show rests on the last image until it is stopped.
    NextImage();
}

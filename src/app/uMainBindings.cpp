// The main window's key and mouse bindings: installing the keys, running a
// bound function or gesture, and the scrolling that dragging and the drag
// commands share.

#include "app/uMain.h"

#include <QAction>

#include "app/TImageArea.h"
#include "app/TMainInput.h"
#include "display/uZorvinView.h"
#include "settings/Bindings.h"
#include "settings/uOption.h"

void TfrmMain::ApplyKeyBindings()
{
    FInput->ApplyKeyBindings(FOption->ZvFuncs, FActions->Functions());
}

void TfrmMain::RunFunction(int func)
{
    if (func < 0 || func >= FActions->Functions().size())
        return;
    // As a menu choice: the rules are brought up to date first, and a
    // disabled command does nothing.
    UpdateActions();
    FActions->Functions()[func]->trigger();
}

void TfrmMain::RunGesture(TGesture gesture)
{
    RunFunction(FindGestureFunction(FOption->ZvFuncs, gesture));
}

void TfrmMain::ScrollView(int dx, int dy)
{
    if (!FView)
        return;
    FView->ScrollBy(dx, dy);
    // The overview window's rectangle follows the view here, once the
    // overview exists.
}

void TfrmMain::SetAreaCursor(Qt::CursorShape shape)
{
    FAreaCursor = shape;
    if (FCursorCount >= 0)
        FArea->setCursor(shape);
}

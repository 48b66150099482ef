#include "app/TMainClient.h"

#include <QEvent>

TMainClient::TMainClient(QWidget* dock, QWidget* area, QWidget* parent)
    : QWidget(parent), Dock(dock), Area(area)
{
    setObjectName(QStringLiteral("Client"));
    Area->setParent(this);
    Dock->setParent(this);
    Dock->installEventFilter(this);
    Arrange();
}

void TMainClient::SetOverlay(bool on)
{
    IsOverlay = on;
    Arrange();
}

void TMainClient::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Arrange();
}

bool TMainClient::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Dock) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::LayoutRequest:
            Arrange();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TMainClient::Arrange()
{
    // isHidden: the dock's own wish, also while the window is not yet shown.
    const int dockHeight = Dock->isHidden() ? 0 : Dock->sizeHint().height();
    Dock->setGeometry(0, 0, width(), dockHeight);
    if (IsOverlay) {
        Area->setGeometry(rect());
        Dock->raise();
    } else {
        Area->setGeometry(0, dockHeight, width(), std::max(0, height() - dockHeight));
    }
}

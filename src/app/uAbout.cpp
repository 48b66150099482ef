#include "app/uAbout.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Zorvin Lite"));
    setFixedSize(266, 183);

    auto* icon = new QLabel(this);
    QIcon program = QApplication::windowIcon();
    if (program.isNull())
        program = style()->standardIcon(QStyle::SP_DesktopIcon);
    icon->setPixmap(program.pixmap(32, 32));

    lbVer = new QLabel(QString::fromLatin1(Version), this);
    lbVer->setObjectName(QStringLiteral("lbVer"));
    lbUrl = new QLabel(QString::fromLatin1(HomePage), this);
    lbUrl->setObjectName(QStringLiteral("lbUrl"));
    lbUrl->setStyleSheet(QStringLiteral("color: blue;"));
    lbUrl->setCursor(Qt::PointingHandCursor);
    lbUrl->setAttribute(Qt::WA_Hover);
    lbUrl->installEventFilter(this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(lbVer);
    text->addWidget(lbUrl);
    text->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(buttons);
}

// The link is underlined while the mouse is over it; a click opens it.
bool TfrmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lbUrl) {
        QFont font = lbUrl->font();
        switch (event->type()) {
        case QEvent::Enter:
            font.setUnderline(true);
            lbUrl->setFont(font);
            break;
        case QEvent::Leave:
            font.setUnderline(false);
            lbUrl->setFont(font);
            break;
        case QEvent::MouseButtonRelease:
            QDesktopServices::openUrl(QUrl(lbUrl->text()));
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

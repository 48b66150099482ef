#include "app/uSlideShow.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "settings/SlideShowScale.h"
#include "settings/uOption.h"

namespace {

// The field takes eight digits, so that a value above the range can be typed
// and then brought down to the range's top, rather than the keystroke being
// refused; values below the range stay while typed (the start of a longer
// number) and are raised when the dialog is confirmed.
constexpr int FieldDigitsMax = 99999999;
constexpr int FieldStep = 1000;

} // namespace

TfrmSlideShow::TfrmSlideShow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSlideShow"));
    setWindowTitle(QStringLiteral("スライドショーの設定"));

    chkFullScr = new QCheckBox(QStringLiteral("フルスクリーン"), this);
    chkFullScr->setObjectName(QStringLiteral("chkFullScr"));
    chkEnlarge = new QCheckBox(QStringLiteral("画面より小さい画像を拡大する"), this);
    chkEnlarge->setObjectName(QStringLiteral("chkEnlarge"));
    chkRepeat = new QCheckBox(QStringLiteral("繰り返す"), this);
    chkRepeat->setObjectName(QStringLiteral("chkRepeat"));
    chkRandom = new QCheckBox(QStringLiteral("ランダム"), this);
    chkRandom->setObjectName(QStringLiteral("chkRandom"));
    auto* order = new QGroupBox(QStringLiteral("表示・順番"), this);
    auto* orderLayout = new QVBoxLayout(order);
    for (QCheckBox* box : {chkFullScr, chkEnlarge, chkRepeat, chkRandom})
        orderLayout->addWidget(box);

    tbInterval = new QSlider(Qt::Horizontal, this);
    tbInterval->setObjectName(QStringLiteral("tbInterval"));
    tbInterval->setRange(0, SlideShowScale::PositionCount - 1);
    tbInterval->setPageStep(1);
    tbInterval->setTickPosition(QSlider::TicksBelow);
    tbInterval->setTickInterval(1);
    edInterval = new QSpinBox(this);
    edInterval->setObjectName(QStringLiteral("edInterval"));
    edInterval->setRange(0, FieldDigitsMax);
    edInterval->setSingleStep(FieldStep);
    edInterval->setValue(SlideShowScale::MinInterval);
    auto* unit = new QLabel(QStringLiteral("ミリ秒"), this);
    lbInterval = new QLabel(this);
    lbInterval->setObjectName(QStringLiteral("lbInterval"));
    auto* interval = new QGroupBox(QStringLiteral("表示間隔"), this);
    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(edInterval, 1);
    fieldRow->addWidget(unit);
    auto* intervalLayout = new QVBoxLayout(interval);
    intervalLayout->addWidget(tbInterval);
    intervalLayout->addLayout(fieldRow);
    intervalLayout->addWidget(lbInterval);

    auto* buttons = new QDialogButtonBox(this);
    btnStart = buttons->addButton(QStringLiteral("開始"), QDialogButtonBox::AcceptRole);
    btnStart->setObjectName(QStringLiteral("btnStart"));
    btnStart->setDefault(true);
    btnCancel = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(order);
    layout->addWidget(interval);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // a fixed dialog border

    connect(tbInterval, &QSlider::valueChanged, this, &TfrmSlideShow::tbIntervalChange);
    // The field's editor reports every change, also to an empty text, which
    // the spin box itself keeps quiet about.
    connect(edInterval->findChild<QLineEdit*>(), &QLineEdit::textChanged, this,
            &TfrmSlideShow::edIntervalChange);
    edIntervalChange();
}

void TfrmSlideShow::LoadFrom(const TSlideShowOption& options)
{
    chkFullScr->setChecked(options.FullScr);
    chkEnlarge->setChecked(options.Enlarge);
    chkRepeat->setChecked(options.Repeat);
    chkRandom->setChecked(options.Random);
    // A hand-edited settings file may hold any number; the field shows one
    // in its range.
    SetField(SlideShowScale::ConfirmedInterval(options.Interval));
    edIntervalChange();
}

void TfrmSlideShow::SaveTo(TSlideShowOption& options) const
{
    options.FullScr = chkFullScr->isChecked();
    options.Enlarge = chkEnlarge->isChecked();
    options.Repeat = chkRepeat->isChecked();
    options.Random = chkRandom->isChecked();
    options.Interval = Interval();
}

int32_t TfrmSlideShow::Interval() const
{
    // A value below the range confirmed with Enter before the field lost
    // the focus is raised to a second here.
    return SlideShowScale::ConfirmedInterval(SlideShowScale::TypedFieldValue(FieldValue()));
}

std::optional<int64_t> TfrmSlideShow::FieldValue() const
{
    const QString text = edInterval->cleanText();
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    return ok ? std::optional<int64_t>(value) : std::nullopt;
}

void TfrmSlideShow::SetField(int32_t value)
{
    const bool updating = FUpdating;
    FUpdating = true;
    edInterval->setValue(value);
    FUpdating = updating;
}

void TfrmSlideShow::tbIntervalChange(int position)
{
    if (FUpdating)
        return;
    const int32_t value = SlideShowScale::PositionInterval(position);
    SetField(value);
    lbInterval->setText(SlideShowScale::IntervalLabel(value));
}

// Any change made in the field itself (typing, its arrows, the wheel): an
// empty field reads as the range's bottom, a value above the range is
// brought down to its top, and the track bar goes to the nearest step.
void TfrmSlideShow::edIntervalChange()
{
    if (FUpdating)
        return;
    const std::optional<int64_t> typed = FieldValue();
    const int32_t value = SlideShowScale::TypedFieldValue(typed);
    if (!typed || *typed != value)
        SetField(value);
    FUpdating = true;
    tbInterval->setValue(SlideShowScale::NearestPosition(value));
    FUpdating = false;
    lbInterval->setText(SlideShowScale::IntervalLabel(value));
}

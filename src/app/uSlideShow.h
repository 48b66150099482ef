#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
struct TSlideShowOption;

// The slideshow settings dialog: what the show does to the window and the
// list, and how long each image stays. The interval has two controls bound
// both ways: a track bar of 20 fixed steps and a number field for any value
// in milliseconds, with a label that puts the interval in words.
class TfrmSlideShow : public QDialog {
    Q_OBJECT

public:
    explicit TfrmSlideShow(QWidget* parent = nullptr);

    // Fills the controls: the check boxes, then the number field, which
    // moves the track bar and writes the label as a typed value would.
    void LoadFrom(const TSlideShowOption& options);
    // Copies the check boxes and the interval, the field's range enforced.
    void SaveTo(TSlideShowOption& options) const;
    // The interval the dialog stands at, the field's range enforced.
    int32_t Interval() const;

    QCheckBox* chkFullScr = nullptr;
    QCheckBox* chkEnlarge = nullptr;
    QCheckBox* chkRepeat = nullptr;
    QCheckBox* chkRandom = nullptr;
    QSlider* tbInterval = nullptr;
    QSpinBox* edInterval = nullptr;
    QLabel* lbInterval = nullptr;
    QPushButton* btnStart = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void tbIntervalChange(int position);
    void edIntervalChange();
    // The field's text as a number; nothing when it is empty.
    std::optional<int64_t> FieldValue() const;
    void SetField(int32_t value);

    // Set while one control writes the other, so that neither answers the
    // change it did not make: the track bar leaves a typed value alone.
    bool FUpdating = false;
};

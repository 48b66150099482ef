#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

#include "settings/IWindowPlacement.h"
#include "settings/TProgramRec.h"
#include "settings/TZvFunc.h"

class TProfileFile;

// Slideshow settings (section SlideShow).
struct TSlideShowOption {
    bool FullScr = true;
    bool Enlarge = false;
    bool Random = false;
    bool Repeat = false;
    int32_t Interval = 5000; // milliseconds per image
};

// Overview window settings (section OverView). X and Y default to the
// window centred on the screen.
struct TOverViewOption {
    bool Active = false;
    int32_t Height = 170;
    int32_t Width = 200;
    int32_t X = 0;
    int32_t Y = 0;
    bool UseAlphaBlending = false;
    int32_t AlphaBlending = 128;
    bool AutoFollow = true;
    bool FastShrink = false;
    uint8_t BaseSpot = 0;
    bool LockPos = false;
};

// Every user setting of the program, held in memory for the whole run and
// kept in Zorvin.ini. Load reads the file once at start-up; Save writes it
// back once at exit. The window placement (section Window) is read and
// written apart, through IWindowPlacement.
//
// Values are used as read, except Buffer, which is raised to 1. A missing
// file, section or key gives the key's default; a number that does not parse
// gives its default too.
class TOption {
public:
    // No file access. The screen size gives the defaults of SpecifiedWidth,
    // SpecifiedHeight and the overview position.
    TOption(const QString& fileName, QSize screenSize);

    void Load();
    // Throws EProfileWriteError when the system refuses the write.
    void Save();
    void LoadWindowPlacement(IWindowPlacement& window) const;
    // Throws EProfileWriteError when the system refuses the write.
    void SaveWindowPlacement(const IWindowPlacement& window) const;

    // Option/MultiProcess straight from the file, for the single-instance
    // check before any settings object exists.
    static bool ReadMultiProcess(const QString& fileName);

    std::array<TProgramRec, ProgramCount> Programs;
    std::array<TZvFunc, ZvFuncCount> ZvFuncs;
    QStringList DisableSPIs;

    bool LoopList = false;
    bool ConfirmDelete = true;
    bool ConfirmMove = true;
    bool EnlargePicture = false;
    bool ResetZoom = false;
    bool AutoRotate = false;
    bool NoCursorInFullScreen = true;
    bool ShowLoading = true;
    int32_t Buffer = 2;
    int32_t BackColor = 0; // 0x00BBGGRR
    bool OpenLastFile = false;
    bool OpenLastFolder = false;
    QString StartFolder;
    QString LastFile;
    bool MultiProcess = true;
    QString CaptionFormat = DefaultCaptionFormat();
    int32_t ShrinkMode = 4;
    QString SPIDir;
    uint8_t SortOrder = 0;
    bool SortAscend = true;
    int32_t Language = 1041;
    int32_t DragPixel = 20;
    int32_t DragPixel2 = 50;
    bool MenuVisible = true;
    QString LastDirForCopy;
    bool SpecifyWindowSize = false;
    int32_t SpecifiedWidth = 0;
    int32_t SpecifiedHeight = 0;
    int32_t DragSpeed = 2;
    TSlideShowOption SlideShow;
    QString Extensions = QStringLiteral("JPEG;JPG;GIF;BMP;ICO;CUR");
    TOverViewOption OverView;

    QString FileName;

    static QString DefaultCaptionFormat();

private:
    void ReadFunctions(const TProfileFile& ini);
    void ReadPrograms(const TProfileFile& ini);
    void WritePrograms(TProfileFile& ini) const;

    QSize ScreenSize;
};

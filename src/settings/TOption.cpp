#include "settings/uOption.h"

#include <cmath>

#include "platform/TProfileFile.h"
#include "settings/DelimitedText.h"
#include "settings/uUtils.h"

namespace {

const QString SecOption = QStringLiteral("Option");
const QString SecGeneral = QStringLiteral("General");
const QString SecSusie = QStringLiteral("Susie");
const QString SecSlideShow = QStringLiteral("SlideShow");
const QString SecOverView = QStringLiteral("OverView");
const QString SecMouse = QStringLiteral("MouseSettings");
const QString SecKey = QStringLiteral("KeySettings");
const QString SecPrograms = QStringLiteral("Programs");
const QString SecWindow = QStringLiteral("Window");

const QString ProgramSeparator = QStringLiteral("<>");
const QChar SpiDelimiter = QLatin1Char(';');

QString ProgKey(int n)
{
    return QStringLiteral("Prog") + QString::number(n);
}

// Screen size × 0.8 to the nearest integer, halves to even.
int32_t EightTenths(int screenSide)
{
    return int32_t(std::nearbyintl(static_cast<long double>(screenSide) * 0.8L));
}

// (screen − size) / 2 truncated toward zero, without overflowing on a size
// read from the file.
int32_t Centred(int screenSide, int32_t size)
{
    return int32_t((int64_t(screenSide) - int64_t(size)) / 2);
}

int32_t Saturated(int64_t value)
{
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return int32_t(value);
}

} // namespace

TOption::TOption(const QString& fileName, QSize screenSize)
    : SpecifiedWidth(EightTenths(screenSize.width()))
    , SpecifiedHeight(EightTenths(screenSize.height()))
    , FileName(fileName)
    , ScreenSize(screenSize)
{
    OverView.X = Centred(screenSize.width(), OverView.Width);
    OverView.Y = Centred(screenSize.height(), OverView.Height);
    for (int i = 0; i < ZvFuncCount; ++i) {
        const TZvFuncInfo& info = ZvFuncTable[size_t(i)];
        ZvFuncs[size_t(i)] = TZvFunc { QString::fromUtf8(info.Name),
            QString::fromUtf8(info.DefaultKey), QString::fromUtf8(info.DefaultMouse) };
    }
}

QString TOption::DefaultCaptionFormat()
{
    return QStringLiteral("<path><name>  [<idx>/<count>] <zoom>%");
}

bool TOption::ReadMultiProcess(const QString& fileName)
{
    return TProfileFile(fileName).ReadBool(SecOption, QStringLiteral("MultiProcess"), true);
}

void TOption::ReadFunctions(const TProfileFile& ini)
{
    for (int i = 0; i < ZvFuncCount; ++i) {
        const TZvFuncInfo& info = ZvFuncTable[size_t(i)];
        TZvFunc& func = ZvFuncs[size_t(i)];
        func.Name = QString::fromUtf8(info.Name);
        // A key present with an empty value is an empty binding; the default
        // applies only when the key is missing.
        func.Mouse = ini.ReadString(SecMouse, func.Name, QString::fromUtf8(info.DefaultMouse));
        func.Key = ini.ReadString(SecKey, func.Name, QString::fromUtf8(info.DefaultKey));
    }
}

// A record keeps its fields by position: "name<>path<><>FALSE" (no
// parameter) must not read "FALSE" as the parameter, as the list splitter,
// which drops empty pieces, would have it.
static QStringList ProgramFields(const QString& record)
{
    QStringList fields;
    if (record.trimmed().isEmpty())
        return fields;
    for (const QString& piece : record.split(ProgramSeparator))
        fields << piece.trimmed();
    return fields;
}

void TOption::ReadPrograms(const TProfileFile& ini)
{
    for (int n = 0; n < ProgramCount; ++n) {
        const QStringList items = ProgramFields(ini.ReadString(SecPrograms, ProgKey(n), QString()));
        TProgramRec& rec = Programs[size_t(n)];
        rec = TProgramRec {};
        if (items.size() > 0)
            rec.Name = items[0];
        if (items.size() > 1)
            rec.Path = items[1];
        if (items.size() > 2)
            rec.Param = items[2];
        if (items.size() > 3)
            rec.ExitAfterExecute = items[3] == QLatin1String("TRUE");
    }
}

void TOption::Load()
{
    const TProfileFile ini(FileName);
    const TOption def(FileName, ScreenSize);

    ReadFunctions(ini);
    ReadPrograms(ini);

    LoopList = ini.ReadBool(SecOption, QStringLiteral("LoopList"), def.LoopList);
    ConfirmDelete = ini.ReadBool(SecOption, QStringLiteral("ConfirmDelete"), def.ConfirmDelete);
    ConfirmMove = ini.ReadBool(SecOption, QStringLiteral("ConfirmMove"), def.ConfirmMove);
    EnlargePicture = ini.ReadBool(SecOption, QStringLiteral("EnlargePicture"), def.EnlargePicture);
    SortOrder = ini.ReadByte(SecOption, QStringLiteral("SortOrder"), def.SortOrder);
    SortAscend = ini.ReadBool(SecOption, QStringLiteral("SortAscend"), def.SortAscend);
    Buffer = ini.ReadInteger(SecOption, QStringLiteral("Buffer"), def.Buffer);
    BackColor = ini.ReadInteger(SecOption, QStringLiteral("BackColor"), def.BackColor);
    OpenLastFile = ini.ReadBool(SecOption, QStringLiteral("OpenLastFile"), def.OpenLastFile);
    OpenLastFolder = ini.ReadBool(SecOption, QStringLiteral("OpenLastFolder"), def.OpenLastFolder);
    LastFile = ini.ReadString(SecOption, QStringLiteral("LastFile"), def.LastFile);
    StartFolder = ini.ReadString(SecOption, QStringLiteral("StartFolder"), def.StartFolder);
    MultiProcess = ini.ReadBool(SecOption, QStringLiteral("MultiProcess"), def.MultiProcess);
    CaptionFormat = ini.ReadString(SecOption, QStringLiteral("CaptionFormat"), def.CaptionFormat);
    NoCursorInFullScreen
        = ini.ReadBool(SecOption, QStringLiteral("NoCursorInFullScreen"), def.NoCursorInFullScreen);
    ResetZoom = ini.ReadBool(SecOption, QStringLiteral("ResetZoom"), def.ResetZoom);
    ShrinkMode = ini.ReadInteger(SecOption, QStringLiteral("ShrinkMode"), def.ShrinkMode);
    SPIDir = ini.ReadString(SecSusie, QStringLiteral("SPIDir"), def.SPIDir);
    AutoRotate = ini.ReadBool(SecOption, QStringLiteral("AutoRotate"), def.AutoRotate);
    DragPixel = ini.ReadInteger(SecOption, QStringLiteral("DragPixel"), def.DragPixel);
    DragPixel2 = ini.ReadInteger(SecOption, QStringLiteral("DragPixel2"), def.DragPixel2);
    ShowLoading = ini.ReadBool(SecOption, QStringLiteral("ShowLoading"), def.ShowLoading);
    MenuVisible = ini.ReadBool(SecOption, QStringLiteral("MenuVisible"), def.MenuVisible);
    LastDirForCopy
        = ini.ReadString(SecOption, QStringLiteral("LastDirForCopy"), def.LastDirForCopy);
    SpecifyWindowSize
        = ini.ReadBool(SecOption, QStringLiteral("SpecifyWindowSize"), def.SpecifyWindowSize);
    SpecifiedWidth
        = ini.ReadInteger(SecOption, QStringLiteral("SpecifiedWidth"), def.SpecifiedWidth);
    SpecifiedHeight
        = ini.ReadInteger(SecOption, QStringLiteral("SpecifiedHeight"), def.SpecifiedHeight);
    DragSpeed = ini.ReadInteger(SecOption, QStringLiteral("DragSpeed"), def.DragSpeed);

    DisableSPIs = ReadDelimitedText(
        ini.ReadString(SecSusie, QStringLiteral("DisableSPIs"), QString()), SpiDelimiter);

    SlideShow.FullScr
        = ini.ReadBool(SecSlideShow, QStringLiteral("FullScr"), def.SlideShow.FullScr);
    SlideShow.Enlarge
        = ini.ReadBool(SecSlideShow, QStringLiteral("Enlarge"), def.SlideShow.Enlarge);
    SlideShow.Random = ini.ReadBool(SecSlideShow, QStringLiteral("Random"), def.SlideShow.Random);
    SlideShow.Repeat = ini.ReadBool(SecSlideShow, QStringLiteral("Repeat"), def.SlideShow.Repeat);
    SlideShow.Interval
        = ini.ReadInteger(SecSlideShow, QStringLiteral("Interval"), def.SlideShow.Interval);

    Extensions = ini.ReadString(SecGeneral, QStringLiteral("Extensions"), def.Extensions);
    Language = ini.ReadInteger(SecGeneral, QStringLiteral("Language"), def.Language);

    OverView.Width = ini.ReadInteger(SecOverView, QStringLiteral("Width"), def.OverView.Width);
    OverView.Height = ini.ReadInteger(SecOverView, QStringLiteral("Height"), def.OverView.Height);
    OverView.X = ini.ReadInteger(
        SecOverView, QStringLiteral("X"), Centred(ScreenSize.width(), OverView.Width));
    OverView.Y = ini.ReadInteger(
        SecOverView, QStringLiteral("Y"), Centred(ScreenSize.height(), OverView.Height));
    OverView.Active = ini.ReadBool(SecOverView, QStringLiteral("Active"), def.OverView.Active);
    OverView.UseAlphaBlending = ini.ReadBool(
        SecOverView, QStringLiteral("UseAlphaBlending"), def.OverView.UseAlphaBlending);
    OverView.AlphaBlending
        = ini.ReadInteger(SecOverView, QStringLiteral("AlphaBlending"), def.OverView.AlphaBlending);
    OverView.AutoFollow
        = ini.ReadBool(SecOverView, QStringLiteral("AutoFollow"), def.OverView.AutoFollow);
    OverView.FastShrink
        = ini.ReadBool(SecOverView, QStringLiteral("FastShrink"), def.OverView.FastShrink);
    OverView.BaseSpot
        = ini.ReadByte(SecOverView, QStringLiteral("BaseSpot"), def.OverView.BaseSpot);
    OverView.LockPos = ini.ReadBool(SecOverView, QStringLiteral("LockPos"), def.OverView.LockPos);

    if (Buffer < 1)
        Buffer = 1;
}

void TOption::WritePrograms(TProfileFile& ini) const
{
    ini.EraseSection(SecPrograms);
    for (int n = 0; n < ProgramCount; ++n) {
        const TProgramRec& rec = Programs[size_t(n)];
        if (!rec.Registered())
            continue;
        ini.WriteString(SecPrograms, ProgKey(n),
            rec.Name + ProgramSeparator + rec.Path + ProgramSeparator + rec.Param + ProgramSeparator
                + (rec.ExitAfterExecute ? QStringLiteral("TRUE") : QStringLiteral("FALSE")));
    }
}

void TOption::Save()
{
    TProfileFile ini(FileName);

    for (const TZvFunc& func : ZvFuncs) {
        ini.WriteString(SecMouse, func.Name, func.Mouse);
        ini.WriteString(SecKey, func.Name, func.Key);
    }

    ini.WriteBool(SecOption, QStringLiteral("LoopList"), LoopList);
    ini.WriteBool(SecOption, QStringLiteral("ConfirmDelete"), ConfirmDelete);
    ini.WriteBool(SecOption, QStringLiteral("ConfirmMove"), ConfirmMove);
    ini.WriteBool(SecOption, QStringLiteral("EnlargePicture"), EnlargePicture);
    ini.WriteBool(SecOption, QStringLiteral("ResetZoom"), ResetZoom);
    ini.WriteInteger(SecOption, QStringLiteral("Buffer"), Buffer);
    ini.WriteInteger(SecOption, QStringLiteral("BackColor"), BackColor);
    ini.WriteInteger(SecOption, QStringLiteral("SortOrder"), SortOrder);
    ini.WriteBool(SecOption, QStringLiteral("SortAscend"), SortAscend);
    ini.WriteBool(SecOption, QStringLiteral("OpenLastFile"), OpenLastFile);
    ini.WriteBool(SecOption, QStringLiteral("OpenLastFolder"), OpenLastFolder);
    ini.WriteString(SecOption, QStringLiteral("StartFolder"), StartFolder);
    ini.WriteString(SecOption, QStringLiteral("LastFile"), LastFile);
    ini.WriteBool(SecOption, QStringLiteral("AutoRotate"), AutoRotate);
    ini.WriteBool(SecOption, QStringLiteral("MultiProcess"), MultiProcess);
    ini.WriteString(SecOption, QStringLiteral("CaptionFormat"), CaptionFormat);
    ini.WriteBool(SecOption, QStringLiteral("NoCursorInFullScreen"), NoCursorInFullScreen);
    ini.WriteInteger(SecOption, QStringLiteral("ShrinkMode"), ShrinkMode);
    ini.WriteInteger(SecOption, QStringLiteral("DragPixel"), DragPixel);
    ini.WriteBool(SecOption, QStringLiteral("MenuVisible"), MenuVisible);
    ini.WriteInteger(SecOption, QStringLiteral("DragPixel2"), DragPixel2);
    ini.WriteString(SecGeneral, QStringLiteral("Extensions"), Extensions);
    ini.WriteBool(SecOption, QStringLiteral("ShowLoading"), ShowLoading);
    ini.WriteString(SecOption, QStringLiteral("LastDirForCopy"), LastDirForCopy);
    ini.WriteInteger(SecGeneral, QStringLiteral("Language"), Language);
    ini.WriteBool(SecOption, QStringLiteral("SpecifyWindowSize"), SpecifyWindowSize);
    ini.WriteInteger(SecOption, QStringLiteral("SpecifiedWidth"), SpecifiedWidth);
    ini.WriteInteger(SecOption, QStringLiteral("SpecifiedHeight"), SpecifiedHeight);
    ini.WriteInteger(SecOption, QStringLiteral("DragSpeed"), DragSpeed);

    ini.WriteInteger(SecOverView, QStringLiteral("Width"), OverView.Width);
    ini.WriteInteger(SecOverView, QStringLiteral("Height"), OverView.Height);
    ini.WriteInteger(SecOverView, QStringLiteral("X"), OverView.X);
    ini.WriteInteger(SecOverView, QStringLiteral("Y"), OverView.Y);
    ini.WriteBool(SecOverView, QStringLiteral("Active"), OverView.Active);
    ini.WriteBool(SecOverView, QStringLiteral("UseAlphaBlending"), OverView.UseAlphaBlending);
    ini.WriteInteger(SecOverView, QStringLiteral("AlphaBlending"), OverView.AlphaBlending);
    ini.WriteBool(SecOverView, QStringLiteral("AutoFollow"), OverView.AutoFollow);
    ini.WriteBool(SecOverView, QStringLiteral("FastShrink"), OverView.FastShrink);
    ini.WriteInteger(SecOverView, QStringLiteral("BaseSpot"), OverView.BaseSpot);
    ini.WriteBool(SecOverView, QStringLiteral("LockPos"), OverView.LockPos);

    ini.WriteString(SecSusie, QStringLiteral("SPIDir"), SPIDir);
    ini.WriteString(
        SecSusie, QStringLiteral("DisableSPIs"), WriteDelimitedText(DisableSPIs, SpiDelimiter));

    WritePrograms(ini);

    ini.WriteBool(SecSlideShow, QStringLiteral("FullScr"), SlideShow.FullScr);
    ini.WriteBool(SecSlideShow, QStringLiteral("Enlarge"), SlideShow.Enlarge);
    ini.WriteBool(SecSlideShow, QStringLiteral("Random"), SlideShow.Random);
    ini.WriteBool(SecSlideShow, QStringLiteral("Repeat"), SlideShow.Repeat);
    ini.WriteInteger(SecSlideShow, QStringLiteral("Interval"), SlideShow.Interval);

    ini.Flush();
}

void TOption::LoadWindowPlacement(IWindowPlacement& window) const
{
    const TProfileFile ini(FileName);
    const QRect current = window.CurrentBounds();
    const TOption def(FileName, ScreenSize);

    const bool specify
        = ini.ReadBool(SecOption, QStringLiteral("SpecifyWindowSize"), def.SpecifyWindowSize);
    const int32_t width
        = ini.ReadInteger(SecOption, QStringLiteral("SpecifiedWidth"), def.SpecifiedWidth);
    const int32_t height
        = ini.ReadInteger(SecOption, QStringLiteral("SpecifiedHeight"), def.SpecifiedHeight);
    int32_t state = ini.ReadInteger(SecWindow, QStringLiteral("State"), 0);

    TWindowPlacement placement;
    TWindowRect& rect = placement.NormalRect;
    rect.Left = ini.ReadInteger(SecWindow, QStringLiteral("Left"), current.left());
    rect.Top = ini.ReadInteger(SecWindow, QStringLiteral("Top"), current.top());
    if (specify) {
        // One pixel less than the specified size, as the file has always
        // been read.
        rect.Right = Saturated(int64_t(rect.Left) + width - 1);
        rect.Bottom = Saturated(int64_t(rect.Top) + height - 1);
        state = 0;
    } else {
        rect.Right = ini.ReadInteger(SecWindow, QStringLiteral("Right"),
            Saturated(int64_t(current.left()) + current.width()));
        rect.Bottom = ini.ReadInteger(SecWindow, QStringLiteral("Bottom"),
            Saturated(int64_t(current.top()) + current.height()));
    }
    placement.Maximized = state == 1;
    window.SetWindowPlacement(placement);
}

void TOption::SaveWindowPlacement(const IWindowPlacement& window) const
{
    const TWindowPlacement placement = window.GetWindowPlacement();
    TProfileFile ini(FileName);
    ini.WriteInteger(SecWindow, QStringLiteral("State"), placement.Maximized ? 1 : 0);
    ini.WriteInteger(SecWindow, QStringLiteral("Left"), placement.NormalRect.Left);
    ini.WriteInteger(SecWindow, QStringLiteral("Top"), placement.NormalRect.Top);
    ini.WriteInteger(SecWindow, QStringLiteral("Right"), placement.NormalRect.Right);
    ini.WriteInteger(SecWindow, QStringLiteral("Bottom"), placement.NormalRect.Bottom);
    ini.Flush();
}

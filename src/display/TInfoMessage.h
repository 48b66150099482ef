#pragma once

#include <QFont>
#include <QImage>
#include <QString>
#include <cstdint>

// A one-line status text at the bottom right of the image area ("... を読み込んでいます...").
// Drawn once straight onto the canvas, on an opaque box of the background
// colour, in its inverse colour; the next paint of the image covers it.
class TInfoMessage {
public:
    // background is the view's BackColor (0x00BBGGRR); font is the window's.
    TInfoMessage(QImage* canvas, uint32_t background, const QFont& font);

    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;   // the text ends 10 pixels left of it
    int32_t Bottom = 0;  // the text's top is 25 pixels above it

    // Returns the rectangle drawn (empty for an empty text).
    QRect DrawMessage(const QString& text);

private:
    QImage* Canvas;
    uint32_t Background;
    QFont Font;
};

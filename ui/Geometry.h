// Twips, colours, captions and fonts as the windows describe them, mapped to Qt.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <cstdint>
#include <string>

class QWidget;

namespace ui {

inline constexpr int kTwipsPerPixel = 15;  // 1440 per inch at 96 dpi

// Left, top, width, height in twips (relative to the parent's client area).
struct Place {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

int TwipsToPixels(int twips);  // rounded to the nearest logical pixel
int PixelsToTwips(int pixels);
QRect ToPixels(const Place& place);
// The object name and the place, which every control has.
void SetUpControl(QWidget* control, const QString& name, Place place);
// Single precision to a whole number, an exact half going to the even neighbour.
std::int32_t RoundHalfEven(float value);

// 0x00BBGGRR -> QColor.
QColor ColorFromBgr(std::uint32_t bgr);
// The contrast ratio of two colours as WCAG 2 defines it: 1 (alike) to 21 (black on white).
double ContrastRatio(const QColor& first, const QColor& second);
// The text colour for a background the program sets: black or white, whichever
// stands out more. The better of the two reaches at least 4.58:1 on any colour
// (WCAG 2 AA asks 4.5:1), whatever the palette's own text colour is.
QColor TextColorOn(const QColor& background);

// "\r\n" (and a lone "\r" or "\n") start a new line; "&&" shows one "&".
QString CaptionText(const QString& caption);
// The model's 8-bit texts (one byte per character) to and from Qt.
QString FromLatin1(const std::string& text);
std::string ToLatin1(const QString& text);
// File system paths (the platform's 8-bit encoding of file names) to and from Qt.
QString FromPath(const std::string& path);
std::string ToPath(const QString& path);

enum class FontKind {
    Default,  // the editor's window font: sans-serif 9.75 pt
    A,        // sans-serif 13.5 pt
    B,        // sans-serif 12 pt
    C,        // monospace 15 pt (the item list)
    Message,  // the message dialog's text: sans-serif 12 pt
};
QFont MakeFont(FontKind kind);  // for Latin-1 texts only
// For file and volume names, which may hold any character: others come from fallback fonts.
QFont MakeFontForNames(FontKind kind);

}  // namespace ui

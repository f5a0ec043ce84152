// The program's own look: fonts, colours and the painted backgrounds shared by
// every window. Nothing here is a bitmap file; everything is drawn.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>

class QLabel;
class QPainter;
class QPushButton;

namespace skin {

// "Arial" of the layouts, through metric-compatible fonts; Hangul falls back
// to Nanum.
QFont Arial(int pixelSize, bool bold = false);
QFont ArialPt(int pointSize, bool bold = false);

inline const QColor kCaption{0x46, 0x46, 0x46};    // panel captions
inline const QColor kHeading{0x30, 0x30, 0x30};    // page headings, flat buttons
inline const QColor kLightGrey{0xE6, 0xE6, 0xE6};  // choice backgrounds, dark captions
inline const QColor kPressed{0xAA, 0xAA, 0xAA};
inline const QColor kPressedText{0x28, 0x28, 0x28};
inline const QColor kAccent{0x1f, 0x6f, 0xb2};  // title bars, highlights

// The program's icon, drawn.
QIcon AppIcon();

// A window with a dark title strip of `titleHeight` pixels and a light body.
void PaintWindowFrame(QPainter& p, const QRect& r, int titleHeight);
// A rounded light panel with a thin border (groups of controls).
void PaintPanel(QPainter& p, const QRect& r);

// For windows built from standard widgets on a PaintWindowFrame background:
// the caption and close button of the title strip, and a flat dark button.
void StyleTitle(QLabel* caption);
void StyleTitleClose(QPushButton* close);
void StyleFlatButton(QPushButton* button);

}  // namespace skin

#pragma once
// The one look of the client's windows: a dark controller's console. The
// splitter bars and borders are the frame's solid grey; panels sit on dark
// brushed metal, screens are black, the accent is the scope's phosphor green.

#include <QColor>
#include <QRect>

class QApplication;
class QPainter;
class QPalette;

namespace vantor::shell {

inline constexpr QColor kFrameBarColour{90, 93, 99};  // splitter bars and borders
inline constexpr QColor kPanelColour{44, 47, 52};
inline constexpr QColor kPanelLightColour{58, 62, 68};
inline constexpr QColor kScreenColour{8, 10, 12};
inline constexpr QColor kTextColour{222, 226, 230};
inline constexpr QColor kDimTextColour{150, 156, 164};
inline constexpr QColor kAccentColour{60, 200, 110};

// The palette of every window of the client.
QPalette ConsolePalette();
// Fusion style, the console palette and the few style rules the palette
// cannot express, for the whole application.
void ApplyConsoleStyle(QApplication& application);

// A panel's face: brushed dark metal inside a bevelled edge.
void PaintConsolePanel(QPainter& painter, const QRect& area);
// A sunken black screen with a thin lit rim.
void PaintConsoleScreen(QPainter& painter, const QRect& area);

}  // namespace vantor::shell

#pragma once
// The server's windows share the client's console look: dark panels framed
// in RGB(90, 93, 99), light text, green for what runs and amber for what
// waits.

#include <QColor>
#include <QPalette>
#include <QPixmap>
#include <QString>

class QWidget;

namespace vantor::server::gui {

inline const QColor kFrameColour(90, 93, 99);
inline const QColor kRunningColour(110, 210, 100);
inline const QColor kStoppedColour(235, 180, 70);
inline const QColor kBlueColour(27, 200, 230);
inline const QColor kRedColour(255, 0, 0);
inline const QColor kBothColour(240, 240, 0);

QPalette ServerPalette();
QString ServerStyleSheet();
// The palette and the style sheet, on a top-level window of the server.
void ApplyServerStyle(QWidget& window);
// The program's icon: a radar scope with its sweep.
QPixmap ServerIcon(int size);
// The window's title banner.
QPixmap ServerBanner(int width, int height, const QString& subtitle);

}  // namespace vantor::server::gui

#include "vantor/shell/CMessageWnd.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "vantor/texts/QText.h"

namespace vantor::shell {
namespace {
constexpr int kDefaultFontPixels = 12;
// A chat that runs for hours keeps only what could ever be scrolled into view.
constexpr qsizetype kMaxKeptMessages = 500;
}  // namespace

CMessageWnd::CMessageWnd(Language language, int fontSize, QWidget* parent)
    : QWidget(parent, Qt::Tool), fontPixels_(fontSize > 0 ? fontSize : kDefaultFontPixels) {
  setObjectName("messageWindow");
  setWindowTitle(QText(TextId::MessageWindowTitle, language));
  setWindowOpacity(kMessageWindowOpacity / 255.0);
  resize(kMessageWindowSize);
  hide();
}

void CMessageWnd::AddMessage(const QString& text) {
  messages_.append(text);
  if (messages_.size() > kMaxKeptMessages) messages_.remove(0, messages_.size() - kMaxKeptMessages);
  update();
}

void CMessageWnd::ShowMessage(const QString& text) {
  AddMessage(text);
  ShowAt(kMessageWindowPosition.x(), kMessageWindowPosition.y());
}

void CMessageWnd::ShowAt(int x, int y) {
  move(x, y);
  show();
  raise();
  repaint();
}

void CMessageWnd::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(fontPixels_);
  painter.setFont(font);
  painter.setPen(QColor(0, 150, 0));
  // The newest message has its top 15 pixels above the bottom, each older
  // one 15 pixels higher; those above the top are not drawn.
  const int lineHeight = std::max(kMessageLineSpacing, painter.fontMetrics().height());
  int top = height() - kMessageLineSpacing;
  for (qsizetype i = messages_.size() - 1; i >= 0 && top + lineHeight > 0; --i) {
    painter.drawText(QRect(kMessageLeftMargin, top, width() - kMessageLeftMargin, lineHeight),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, messages_[i]);
    top -= kMessageLineSpacing;
  }
}

}  // namespace vantor::shell

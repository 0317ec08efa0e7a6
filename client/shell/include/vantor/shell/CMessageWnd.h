#pragma once
// The chat message window: a small see-through window listing the messages
// received, the newest at the bottom, brought up at (20, 30) by each message.

#include <QStringList>
#include <QWidget>

#include "vantor/texts/Language.h"

namespace vantor::shell {

inline constexpr int kMessageWindowOpacity = 150;  // of 255
inline constexpr int kMessageLineSpacing = 15;
inline constexpr int kMessageLeftMargin = 20;
inline constexpr QSize kMessageWindowSize{360, 180};
inline constexpr QPoint kMessageWindowPosition{20, 30};

class CMessageWnd : public QWidget {
  Q_OBJECT
 public:
  // `fontSize` is the client's label font size (0 or less: the default 12).
  CMessageWnd(Language language, int fontSize, QWidget* parent = nullptr);

  // A message arrived: appended to the list, then the window comes up at
  // kMessageWindowPosition.
  void ShowMessage(const QString& text);

  // Appends one text to the list (the oldest first).
  void AddMessage(const QString& text);
  // Moves the window to (x, y) without resizing it, raises it above other
  // windows, shows it and repaints it.
  void ShowAt(int x, int y);

  // Oldest first.
  const QStringList& Messages() const { return messages_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QStringList messages_;
  int fontPixels_;
};

}  // namespace vantor::shell

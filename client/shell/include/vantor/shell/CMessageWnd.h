#pragma once
// The chat message window: a small see-through window listing the messages
// received, the newest at the bottom. The connection appends to it and
// brings it up at (20, 30) when a message arrives.

#include <QStringList>
#include <QWidget>

#include "vantor/net/ConnectionUi.h"
#include "vantor/texts/Language.h"

namespace vantor::shell {

inline constexpr int kMessageWindowOpacity = 150;  // of 255
inline constexpr int kMessageLineSpacing = 15;
inline constexpr int kMessageLeftMargin = 20;
inline constexpr QSize kMessageWindowSize{360, 180};

class CMessageWnd : public QWidget, public net::ChatMessageSink {
  Q_OBJECT
 public:
  // `fontSize` is the client's label font size (0 or less: the default 12).
  CMessageWnd(Language language, int fontSize, QWidget* parent = nullptr);

  void AddMessage(const QString& text) override;
  void ShowAt(int x, int y) override;

  // Oldest first.
  const QStringList& messages() const { return messages_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QStringList messages_;
  int fontPixels_;
};

}  // namespace vantor::shell

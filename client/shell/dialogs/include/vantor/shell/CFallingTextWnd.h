#pragma once
// The about box's animation: green characters fall like rain, the lines of
// a text slide in one after another behind two glyph banners, and at the
// end a picture zooms up and gives way to a closing message.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <vector>

#include "vantor/shell/AnimationTimers.h"

namespace vantor::shell {

class CFallingTextWnd : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kBannerTimer = 1;          // the horizontal banner, every 10 ms
  static constexpr int kVerticalBannerTimer = 2;  // the vertical banner, every 15 ms
  static constexpr int kRainTimer = 3;            // the rain and the ending, every 120 ms
  static constexpr double kZoomStep = 1.2;
  static constexpr double kEndZoom = 10000.0;  // per cent of the picture's size
  static constexpr int kMaxRow = 75;
  static constexpr int kColumnGap = 10;
  // Decorative single-byte characters (Latin-1); the banners use the first 14.
  static constexpr const char* kGlyphSet =
      "\xA7\xA4\xB6\xDE\xDF\xD8\xE6\xD7\xF7\xB1\xB5\xA5\xA3\xA2\xAE\xA9\xAC\xBF\xA1\xAB";
  static constexpr int kGlyphSetLength = 20;
  static constexpr int kBannerGlyphs = 14;

  // `timers`: real timers when none are given. `seed`: from the clock when
  // none is given.
  explicit CFallingTextWnd(QWidget* parent = nullptr, std::unique_ptr<AnimationTimers> timers = nullptr,
                           std::optional<std::uint32_t> seed = std::nullopt);
  ~CFallingTextWnd() override;

  // The text, lines separated by ","; set before Create.
  void SetLines(const QString& lines);
  void SetClosingText(const QString& text) { closingText_ = text; }
  // Places the window over `area` of its parent, draws the first frame, sets
  // up the columns and starts the three timers.
  void Create(const QRect& area);

  // --- What it shows -----------------------------------------------------
  int LineIndex() const { return lineIndex_; }  // -1 after the last line
  QString CurrentLine() const;
  int BannerX() const { return bannerX_; }
  int BannerY() const { return bannerY_; }
  int TargetX() const { return targetX_; }
  double Zoom() const { return zoom_; }
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  int RowCount() const { return rows_; }
  int ActiveColumnCount() const;
  bool IsFinished() const { return finished_; }
  // The window's picture as last composed.
  const QImage& Picture() const { return picture_; }
  AnimationTimers& Timers() { return *timers_; }
  QColor TextColour() const { return textColour_; }

 Q_SIGNALS:
  // The horizontal banner reached line `index`: it is shown from now on.
  void LineShown(int index);
  // "Thanks for your attention!" is up; nothing moves any more.
  void AnimationFinished();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Cell {
    QChar character = QLatin1Char(' ');
    int green = 0;  // 75 ... 200
  };
  struct Column {
    std::vector<Cell> cells;  // the stream, 5 ... 15 cells
    int row = 0;
    bool active = false;
    bool erasing = false;
    int erased = 0;  // cells blacked out so far
  };

  void OnTimer(int id);
  void TickBanner();
  void TickVerticalBanner();
  void TickRain();
  void SetUpColumns();
  void FillFromLine(Column& column);
  void DrawCell(int column, int row, const QColor& colour, bool blank = false);
  void DrawEnding();
  void ComposeFrame();
  void RecreatePictures();
  int ComputeTargetX() const;
  QString RandomGlyphs(int count);
  unsigned Random() { return random_() & 0x7FFFu; }

  std::unique_ptr<AnimationTimers> timers_;
  std::mt19937 random_;
  QFont font_;
  int charWidth_ = 1;
  int charHeight_ = 1;
  QStringList lines_;
  QString closingText_;
  int lineIndex_ = 0;
  QColor textColour_{0, 255, 0};
  QColor backColour_{0, 0, 0};
  int bannerX_ = 0;
  int bannerY_ = 0;
  int targetX_ = 0;
  bool lineReached_ = false;
  QString horizontalBanner_;
  QString verticalBanner_;
  std::vector<Column> columns_;
  int rows_ = 0;
  int rainTicks_ = 0;
  double zoom_ = 1.0;
  bool finished_ = false;
  QImage rain_;     // what the rain and the ending draw, kept between ticks
  QImage picture_;  // rain_ with the line and the banners over it
};

}  // namespace vantor::shell

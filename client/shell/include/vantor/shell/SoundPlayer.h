#pragma once
// Wave sounds of the client ("interfer.wav", "fall.wav", "switch.wav").
// A missing file, an unreadable one or a machine without an audio device
// plays nothing; no call waits longer than the sound lasts plus a margin.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <map>
#include <memory>
#include <optional>

class QSoundEffect;

namespace vantor::shell {

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Plays the file and returns when it has ended.
  virtual void PlayToEnd(const QString& fileName) = 0;
  // Starts playing the file and returns at once.
  virtual void Play(const QString& fileName) = 0;
};

// The first folder holding `fileName` (a bare name or a relative path), as
// an absolute path; empty when none does.
QString FindSoundFile(const QString& fileName, const QStringList& folders);
// Beside the program first, then the working folder.
QStringList DefaultSoundFolders();

// Playing time of a RIFF/WAVE image from its "fmt " and "data" chunks;
// nullopt when the bytes are not a wave file.
std::optional<std::chrono::milliseconds> WaveDuration(const QByteArray& bytes);

class QtSoundPlayer final : public SoundPlayer {
 public:
  explicit QtSoundPlayer(QStringList folders = DefaultSoundFolders());
  ~QtSoundPlayer() override;
  void PlayToEnd(const QString& fileName) override;
  void Play(const QString& fileName) override;

  // Extra time granted beyond a sound's length before PlayToEnd gives up.
  static constexpr std::chrono::milliseconds kMargin{1500};
  // Longest wait for a file whose length cannot be read from its header.
  static constexpr std::chrono::milliseconds kUnknownLengthWait{3000};

 private:
  QStringList folders_;
  std::map<QString, std::unique_ptr<QSoundEffect>> started_;  // sounds started by play(), by path
};

// Plays nothing (tests, --no-sound).
class SilentSoundPlayer final : public SoundPlayer {
 public:
  void PlayToEnd(const QString&) override {}
  void Play(const QString&) override {}
};

}  // namespace vantor::shell

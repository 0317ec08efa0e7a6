#include "vantor/shell/SoundPlayer.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

#include <algorithm>

namespace vantor::shell {
namespace {

constexpr qsizetype kWaveHeaderProbe = 4096;  // chunks before "data" fit in this

std::uint32_t ReadLe32(const QByteArray& bytes, qsizetype at) {
  return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(bytes.constData() + at));
}

}  // namespace

QStringList DefaultSoundFolders() { return {QCoreApplication::applicationDirPath(), QDir::currentPath()}; }

QString FindSoundFile(const QString& fileName, const QStringList& folders) {
  for (const QString& folder : folders) {
    const QFileInfo candidate(QDir(folder), fileName);
    if (candidate.isFile()) return candidate.absoluteFilePath();
  }
  return {};
}

std::optional<std::chrono::milliseconds> WaveDuration(const QByteArray& bytes) {
  if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") return std::nullopt;
  std::uint32_t byteRate = 0;
  qsizetype at = 12;
  while (at + 8 <= bytes.size()) {
    const QByteArray chunkId = bytes.mid(at, 4);
    const std::uint32_t chunkSize = ReadLe32(bytes, at + 4);
    if (chunkId == "fmt " && chunkSize >= 16 && at + 8 + 12 <= bytes.size()) {
      byteRate = ReadLe32(bytes, at + 8 + 8);
    } else if (chunkId == "data") {
      if (byteRate == 0) return std::nullopt;
      return std::chrono::milliseconds(static_cast<std::int64_t>(chunkSize) * 1000 / byteRate);
    }
    // Chunks are padded to even sizes.
    const qsizetype next = at + 8 + static_cast<qsizetype>(chunkSize) + (chunkSize & 1u);
    if (next <= at) return std::nullopt;
    at = next;
  }
  return std::nullopt;
}

QtSoundPlayer::QtSoundPlayer(QStringList folders) : folders_(std::move(folders)) {}

QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::PlayToEnd(const QString& fileName) {
  const QString path = FindSoundFile(fileName, folders_);
  if (path.isEmpty() || QMediaDevices::audioOutputs().isEmpty()) return;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return;
  const std::optional<std::chrono::milliseconds> length = WaveDuration(file.read(kWaveHeaderProbe));
  if (!length) return;  // not a wave file: nothing to play
  const auto wait = std::min(*length + kMargin, std::chrono::milliseconds(std::chrono::minutes(1)));

  QSoundEffect effect;
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  bool started = false;
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  QObject::connect(&effect, &QSoundEffect::statusChanged, &loop, [&] {
    if (effect.status() == QSoundEffect::Error) loop.quit();
  });
  QObject::connect(&effect, &QSoundEffect::playingChanged, &loop, [&] {
    if (effect.isPlaying()) {
      started = true;
    } else if (started) {
      loop.quit();
    }
  });
  effect.setSource(QUrl::fromLocalFile(path));
  if (effect.status() == QSoundEffect::Error) return;
  effect.play();
  deadline.start(wait);
  // Without an audio device the effect may never start or never stop; the
  // deadline ends the wait in any case.
  loop.exec();
  effect.stop();
}

void QtSoundPlayer::Play(const QString& fileName) {
  const QString path = FindSoundFile(fileName, folders_);
  if (path.isEmpty()) return;
  std::unique_ptr<QSoundEffect>& effect = started_[path];
  if (!effect) {
    effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl::fromLocalFile(path));
  }
  effect->stop();
  effect->play();
}

}  // namespace vantor::shell

#pragma once
// One accepted feed connection, read straight from its descriptor. Qt's
// sockets report a connection reset by the peer as an orderly close, and
// read ahead into a buffer of their own without bound; the feed needs the
// difference, and must leave what it has not room for in the network, where
// TCP slows the sender down.

#include <QHostAddress>
#include <QSocketNotifier>

#include <cstddef>
#include <functional>

namespace vantor::server {

class FeedSocket {
 public:
  enum class ReadStatus {
    Data,         // `bytes` bytes were read
    WouldBlock,   // nothing to read now
    EndOfStream,  // the peer closed the connection
    Failed,       // the read failed (a reset by the peer among others)
  };
  struct ReadResult {
    ReadStatus status = ReadStatus::WouldBlock;
    std::size_t bytes = 0;
  };

  // Takes ownership of a connected stream socket. The kernel's receive
  // buffer is set to `receiveBufferBytes`, so what the server holds of a
  // feed stays near what one read takes.
  FeedSocket(qintptr descriptor, std::size_t receiveBufferBytes);
  ~FeedSocket();
  FeedSocket(const FeedSocket&) = delete;
  FeedSocket& operator=(const FeedSocket&) = delete;

  QHostAddress PeerAddress() const;
  // Reads at most `capacity` bytes (at least 1).
  ReadResult Read(char* buffer, std::size_t capacity);
  // Bytes the system holds for the next reads (0 when it cannot tell).
  std::size_t Available() const;
  // `onReadable` runs on the event loop whenever the socket has something
  // to read (data, the end of the stream, or a failure) and notification is
  // on.
  void OnReadable(std::function<void()> onReadable);
  void SetNotification(bool enabled) { notifier_.setEnabled(enabled); }

 private:
  qintptr descriptor_;
  QSocketNotifier notifier_;
};

}  // namespace vantor::server

#include "FeedSocket.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#endif

#include <algorithm>
#include <climits>

#include "SocketDisposal.h"

namespace vantor::server {
namespace {

#ifdef _WIN32
using NativeSocket = SOCKET;
void SetNonBlocking(NativeSocket socket) {
  u_long on = 1;
  ::ioctlsocket(socket, FIONBIO, &on);
}
void CloseNative(NativeSocket socket) { ::closesocket(socket); }
bool WouldBlock() { return ::WSAGetLastError() == WSAEWOULDBLOCK; }
bool Interrupted() { return ::WSAGetLastError() == WSAEINTR; }
using ReceiveLength = int;
#else
using NativeSocket = int;
void SetNonBlocking(NativeSocket socket) { ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) | O_NONBLOCK); }
void CloseNative(NativeSocket socket) { ::close(socket); }
bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK; }
bool Interrupted() { return errno == EINTR; }
using ReceiveLength = std::size_t;
#endif

NativeSocket Native(qintptr descriptor) { return static_cast<NativeSocket>(descriptor); }

}  // namespace

FeedSocket::FeedSocket(qintptr descriptor, std::size_t receiveBufferBytes)
    : descriptor_(descriptor), notifier_(descriptor, QSocketNotifier::Read) {
  SetNonBlocking(Native(descriptor_));
  const int size = static_cast<int>(std::min<std::size_t>(receiveBufferBytes, INT_MAX));
  ::setsockopt(Native(descriptor_), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&size), sizeof size);
}

FeedSocket::~FeedSocket() {
  notifier_.setEnabled(false);
  CloseNative(Native(descriptor_));
}

QHostAddress FeedSocket::PeerAddress() const {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (::getpeername(Native(descriptor_), reinterpret_cast<sockaddr*>(&address), &length) != 0) return {};
  return PlainPeerAddress(QHostAddress(reinterpret_cast<const sockaddr*>(&address)));
}

FeedSocket::ReadResult FeedSocket::Read(char* buffer, std::size_t capacity) {
  const auto length = static_cast<ReceiveLength>(std::min<std::size_t>(std::max<std::size_t>(capacity, 1), INT_MAX));
  for (;;) {
    const auto received = ::recv(Native(descriptor_), buffer, length, 0);
    if (received > 0) return {ReadStatus::Data, static_cast<std::size_t>(received)};
    if (received == 0) return {ReadStatus::EndOfStream, 0};
    if (Interrupted()) continue;
    return {WouldBlock() ? ReadStatus::WouldBlock : ReadStatus::Failed, 0};
  }
}

std::size_t FeedSocket::Available() const {
#ifdef _WIN32
  u_long count = 0;
  if (::ioctlsocket(Native(descriptor_), FIONREAD, &count) != 0) return 0;
#else
  int count = 0;
  if (::ioctl(Native(descriptor_), FIONREAD, &count) != 0 || count < 0) return 0;
#endif
  return static_cast<std::size_t>(count);
}

void FeedSocket::OnReadable(std::function<void()> onReadable) {
  QObject::disconnect(&notifier_, nullptr, nullptr, nullptr);
  QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_,
                   [onReadable = std::move(onReadable)] { onReadable(); });
}

}  // namespace vantor::server

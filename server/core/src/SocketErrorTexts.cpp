#include "vantor/server/SocketErrorTexts.h"

#include "vantor/texts/QText.h"

namespace vantor::server {

int WinsockErrorCode(QAbstractSocket::SocketError error) {
  switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
      return 10061;
    case QAbstractSocket::RemoteHostClosedError:
      return 10054;
    case QAbstractSocket::SocketAccessError:
      return 10013;
    case QAbstractSocket::SocketResourceError:
      return 10024;
    case QAbstractSocket::SocketTimeoutError:
      return 10060;
    case QAbstractSocket::DatagramTooLargeError:
      return 10040;
    case QAbstractSocket::NetworkError:
      return 10050;
    case QAbstractSocket::AddressInUseError:
      return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError:
      return 10049;
    case QAbstractSocket::UnsupportedSocketOperationError:
      return 10047;
    case QAbstractSocket::UnfinishedSocketOperationError:
      return 10036;
    case QAbstractSocket::TemporaryError:
      return 10035;
    case QAbstractSocket::OperationError:
      return 10045;
    default:
      return 0;
  }
}

TextId SocketErrorTextId(int winsockCode) {
  switch (winsockCode) {
#define VANTOR_SOCKET_TEXT(code) \
  case code:                     \
    return TextId::SrvSocketError##code;
    VANTOR_SOCKET_TEXT(10004)
    VANTOR_SOCKET_TEXT(10013)
    VANTOR_SOCKET_TEXT(10014)
    VANTOR_SOCKET_TEXT(10022)
    VANTOR_SOCKET_TEXT(10024)
    VANTOR_SOCKET_TEXT(10035)
    VANTOR_SOCKET_TEXT(10036)
    VANTOR_SOCKET_TEXT(10037)
    VANTOR_SOCKET_TEXT(10038)
    VANTOR_SOCKET_TEXT(10039)
    VANTOR_SOCKET_TEXT(10040)
    VANTOR_SOCKET_TEXT(10041)
    VANTOR_SOCKET_TEXT(10042)
    VANTOR_SOCKET_TEXT(10043)
    VANTOR_SOCKET_TEXT(10044)
    VANTOR_SOCKET_TEXT(10045)
    VANTOR_SOCKET_TEXT(10046)
    VANTOR_SOCKET_TEXT(10047)
    VANTOR_SOCKET_TEXT(10048)
    VANTOR_SOCKET_TEXT(10049)
    VANTOR_SOCKET_TEXT(10050)
    VANTOR_SOCKET_TEXT(10051)
    VANTOR_SOCKET_TEXT(10052)
    VANTOR_SOCKET_TEXT(10053)
    VANTOR_SOCKET_TEXT(10054)
    VANTOR_SOCKET_TEXT(10055)
    VANTOR_SOCKET_TEXT(10056)
    VANTOR_SOCKET_TEXT(10057)
    VANTOR_SOCKET_TEXT(10058)
    VANTOR_SOCKET_TEXT(10060)
    VANTOR_SOCKET_TEXT(10061)
    VANTOR_SOCKET_TEXT(10064)
    VANTOR_SOCKET_TEXT(10065)
    VANTOR_SOCKET_TEXT(10067)
    VANTOR_SOCKET_TEXT(10101)
#undef VANTOR_SOCKET_TEXT
    default:
      return TextId::SrvSocketErrorUnknown;
  }
}

QString SocketErrorText(int winsockCode, Language language) { return QText(SocketErrorTextId(winsockCode), language); }

}  // namespace vantor::server

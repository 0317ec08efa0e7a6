#pragma once
// The texts shown when a listening socket cannot be opened, by Windows
// Sockets error code; the platform's socket errors are mapped onto those
// codes first.

#include <QAbstractSocket>
#include <QString>

#include "vantor/texts/Texts.h"

namespace vantor::server {

// The Windows Sockets code for a Qt socket error; 0 when none fits.
int WinsockErrorCode(QAbstractSocket::SocketError error);
// The text for a Windows Sockets code ("oupssss ??????" for codes outside
// the table).
TextId SocketErrorTextId(int winsockCode);
QString SocketErrorText(int winsockCode, Language language);

}  // namespace vantor::server

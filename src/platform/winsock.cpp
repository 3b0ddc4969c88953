#include "platform/winsock.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace platform {

namespace {

// What a closing socket still reads from its peer before it stops reading.
constexpr qint64 kLingerReadBytes = 4096;

int WsaNumber(QAbstractSocket::SocketError error) {
  switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return kWsaConnectionRefused;
    case QAbstractSocket::AddressInUseError: return kWsaAddressInUse;
    case QAbstractSocket::SocketAccessError: return kWsaAccessDenied;
    case QAbstractSocket::HostNotFoundError: return kWsaHostNotFound;
    case QAbstractSocket::SocketTimeoutError: return kWsaTimedOut;
    case QAbstractSocket::NetworkError: return kWsaConnectionReset;
    default: return kWsaNetworkDown;
  }
}

}  // namespace

QStringList LocalIPv4Addresses() {
  QStringList addresses;
  const auto interfaces = QNetworkInterface::allInterfaces();
  for (const QNetworkInterface& iface : interfaces) {
    const auto flags = iface.flags();
    if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
        (flags & QNetworkInterface::IsLoopBack))
      continue;
    for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
      const QHostAddress ip = entry.ip();
      if (ip.protocol() == QAbstractSocket::IPv4Protocol && !ip.isLoopback()) addresses << ip.toString();
    }
  }
  return addresses;
}

Winsock::Winsock(int index, QObject* parent) : QObject(parent), index_(index) {}

Winsock::~Winsock() { Close(); }

int Winsock::State() const {
  if (server_ && server_->isListening()) return sckListening;
  if (!socket_) return sckClosed;
  if (peerClosed_) return sckClosing;
  switch (socket_->state()) {
    case QAbstractSocket::ConnectedState: return sckConnected;
    case QAbstractSocket::UnconnectedState: return sckClosed;
    default: return sckOpen;  // looking up, connecting, bound
  }
}

int Winsock::LocalPort() const {
  if (server_ && server_->isListening()) return server_->serverPort();
  if (socket_ && socket_->state() != QAbstractSocket::UnconnectedState) return socket_->localPort();
  return localPort_;
}

QString Winsock::LocalIP() const {
  const QStringList addresses = LocalIPv4Addresses();
  return addresses.isEmpty() ? QHostAddress(QHostAddress::LocalHost).toString() : addresses.first();
}

int Winsock::Listen(QString& description) {
  Close();
  server_ = new QTcpServer(this);
  if (localPort_ < 0 || localPort_ > 65535 ||
      !server_->listen(ListenAddress.isEmpty() ? QHostAddress(QHostAddress::AnyIPv4) : QHostAddress(ListenAddress),
                       static_cast<quint16>(localPort_))) {
    const int number = localPort_ < 0 || localPort_ > 65535 ? kWsaAccessDenied : WsaNumber(server_->serverError());
    description = server_->errorString();
    delete server_;
    server_ = nullptr;
    return number;
  }
  connect(server_, &QTcpServer::newConnection, this, &Winsock::OnNewConnection);
  return 0;
}

void Winsock::OnNewConnection() {
  while (server_ && server_->hasPendingConnections()) {
    QTcpSocket* socket = server_->nextPendingConnection();
    const int id = nextRequestID_++;
    pending_[id] = socket;
    emit ConnectionRequest(index_, id);
    // A call the program did not accept is not left hanging.
    auto it = pending_.find(id);
    if (it != pending_.end()) {
      if (it->second) it->second->abort(), it->second->deleteLater();
      pending_.erase(it);
    }
  }
}

bool Winsock::Accept(Winsock& listener, int requestID) {
  auto it = listener.pending_.find(requestID);
  if (it == listener.pending_.end() || !it->second) return false;
  QTcpSocket* socket = it->second;
  listener.pending_.erase(it);
  Close();
  socket->setParent(this);
  Adopt(socket);
  RemoteHost = socket->peerAddress().toString();
  RemotePort = socket->peerPort();
  // Bytes that came with the call are announced like any later arrival.
  if (socket->bytesAvailable() > 0) {
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (socket_ && socket_->bytesAvailable() > 0) emit DataArrival(index_, socket_->bytesAvailable());
        },
        Qt::QueuedConnection);
  }
  return true;
}

void Winsock::Adopt(QTcpSocket* socket) {
  socket_ = socket;
  peerClosed_ = false;
  connect(socket_, &QTcpSocket::readyRead, this, [this] {
    if (socket_) emit DataArrival(index_, socket_->bytesAvailable());
  });
  connect(socket_, &QTcpSocket::errorOccurred, this, &Winsock::OnSocketError);
}

void Winsock::OnSocketError() {
  if (!socket_) return;
  const QAbstractSocket::SocketError error = socket_->error();
  if (error == QAbstractSocket::RemoteHostClosedError) {
    // The peer closed in order: the socket reads as closing; what it sent
    // before is still there to be read.
    if (!peerClosed_) {
      peerClosed_ = true;
      emit PeerClosed(index_);
    }
    return;
  }
  emit Error(index_, WsaNumber(error), socket_->errorString());
}

void Winsock::Connect() {
  Close();
  auto* socket = new QTcpSocket(this);
  Adopt(socket);
  if (localPort_ > 0 && localPort_ <= 65535) socket_->bind(QHostAddress::AnyIPv4, static_cast<quint16>(localPort_));
  socket_->connectToHost(RemoteHost, static_cast<quint16>(RemotePort));
}

void Winsock::Close() {
  if (server_) {
    server_->close();
    server_->deleteLater();
    server_ = nullptr;
  }
  for (auto& [id, socket] : pending_) {
    if (socket) socket->abort(), socket->deleteLater();
  }
  pending_.clear();
  if (socket_) {
    QTcpSocket* socket = socket_;
    socket_ = nullptr;
    socket->disconnect(this);
    if (socket->state() == QAbstractSocket::ConnectedState) socket->flush();
    if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() > 0) {
      // The rest leaves from the event loop; little more is read meanwhile.
      socket->setReadBufferSize(kLingerReadBytes);
      connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
      QTimer::singleShot(kCloseLingerMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
      });
      socket->disconnectFromHost();
    } else {
      socket->abort();
      socket->deleteLater();
    }
  }
  peerClosed_ = false;
}

void Winsock::SendData(const QByteArray& bytes) {
  if (socket_ && socket_->state() == QAbstractSocket::ConnectedState) socket_->write(bytes);
}

void Winsock::Flush() {
  if (socket_ && socket_->state() == QAbstractSocket::ConnectedState) socket_->flush();
}

QByteArray Winsock::GetData() { return socket_ ? socket_->readAll() : QByteArray(); }

bool Winsock::LineWaiting() {
  if (!socket_) return false;
  if (!socket_->canReadLine() && socket_->state() == QAbstractSocket::ConnectedState) socket_->waitForReadyRead(0);
  return socket_ && socket_->canReadLine();
}

}  // namespace platform

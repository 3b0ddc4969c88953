#pragma once
// The Windows socket control over QTcpServer and QTcpSocket: the same
// states, operations and events (listen, accept, connect, send, data
// arrival, close, error with its Windows Sockets number). Each element of
// the program's socket array is one Winsock; events carry its index and are
// raised on the user-interface thread.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <map>

class QTcpServer;
class QTcpSocket;

namespace platform {

// State values as the control reports them.
constexpr int sckClosed = 0;
constexpr int sckOpen = 1;
constexpr int sckListening = 2;
constexpr int sckConnected = 7;
constexpr int sckClosing = 8;  // the peer has closed its side

// How long a closed socket still tries to deliver what was sent.
constexpr int kCloseLingerMs = 2000;

// Error numbers that callers handle by name.
constexpr int kWsaAccessDenied = 10013;  // a port below 1024 without privileges
constexpr int kWsaAddressInUse = 10048;  // the local port is taken
constexpr int kWsaNetworkDown = 10050;
constexpr int kWsaConnectionReset = 10054;  // the connection was lost
constexpr int kWsaTimedOut = 10060;
constexpr int kWsaConnectionRefused = 10061;  // nobody listens there
constexpr int kWsaHostNotFound = 11001;

// The computer's own IPv4 addresses (up, running, not loopback), in the
// order the system lists them.
QStringList LocalIPv4Addresses();

class Winsock : public QObject {
  Q_OBJECT
 public:
  explicit Winsock(int index, QObject* parent = nullptr);
  ~Winsock() override;

  int Index() const { return index_; }
  int State() const;

  // 0 for any free port. After Listen or Connect it reads the port in use.
  int LocalPort() const;
  void SetLocalPort(int port) { localPort_ = port; }
  // The computer's address; never empty: without a network it is the
  // loopback address, so that two copies on one machine can still play.
  QString LocalIP() const;
  // Where Connect goes; after Accept, where the call came from.
  QString RemoteHost;
  int RemotePort = 0;
  // Where Listen binds: empty for every IPv4 address; tests narrow it.
  QString ListenAddress;

  // Starts listening on LocalPort. On failure returns the error number and
  // its description; 0 on success.
  int Listen(QString& description);
  // Starts connecting to RemoteHost:RemotePort; the outcome arrives as a
  // connection (State 7) or an Error event.
  void Connect();
  // Closes the socket, dropping what has not been read. What was sent still
  // leaves, without holding the program up: a socket whose peer does not
  // take it is given up after kCloseLingerMs. Pending calls of a listening
  // socket are closed too.
  void Close();
  // Takes the pending call requestID of the listening socket listener.
  bool Accept(Winsock& listener, int requestID);
  // Writes the bytes unchanged.
  void SendData(const QByteArray& bytes);
  // Hands what was sent to the system now, as far as it takes it; never
  // waits.
  void Flush();
  QByteArray GetData();
  // Whether a whole line from the peer waits to be read, counting what the
  // system already holds; never waits. Its arrival is announced as usual.
  bool LineWaiting();

 signals:
  void ConnectionRequest(int index, int requestID);
  void DataArrival(int index, qint64 bytesTotal);
  // The peer closed its side in order (State now reads 8).
  void PeerClosed(int index);
  void Error(int index, int number, const QString& description);

 private:
  void Adopt(QTcpSocket* socket);
  void OnNewConnection();
  void OnSocketError();

  int index_;
  int localPort_ = 0;
  QTcpServer* server_ = nullptr;
  QTcpSocket* socket_ = nullptr;
  bool peerClosed_ = false;
  int nextRequestID_ = 1;
  std::map<int, QPointer<QTcpSocket>> pending_;
};

}  // namespace platform

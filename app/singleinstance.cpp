#include "app/singleinstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>
#include <algorithm>

namespace orv {
namespace {

const QByteArray kMagic = "ORV1";
const QByteArray kAnswer = "OK";
constexpr qsizetype kHeaderSize = 8;
// Far more than any command line; a longer request is refused unread.
constexpr quint32 kMaxRequest = 256 * 1024;
// A connection that has not sent a whole request by then is closed.
constexpr int kRequestTimeoutMs = 5000;
// How long a start waits for its turn while another copy starts: a copy whose start takes longer is
// taken for hung.
constexpr int kTurnWaitMs = 20000;

QByteArray EncodeRequest(const QStringList& args) {
  QByteArray body;
  for (const QString& arg : args) body += arg.toUtf8() + '\0';
  QByteArray length(4, Qt::Uninitialized);
  qToBigEndian<quint32>(static_cast<quint32>(body.size()), length.data());
  return kMagic + length + body;
}

QStringList DecodeArguments(const QByteArray& body) {
  QStringList args;
  qsizetype from = 0;
  while (from < body.size()) {
    const qsizetype end = body.indexOf('\0', from);
    if (end < 0) break;  // the encoding ends every argument with a zero byte
    args.append(QString::fromUtf8(body.mid(from, end - from)));
    from = end + 1;
  }
  return args;
}

}  // namespace

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultSocketPath(const QString& settingsFile) {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) return {};
  // The settings file's own path, whichever way it is spelled; it need not exist yet.
  const QFileInfo file(settingsFile);
  const QString canonicalFolder = file.absoluteDir().canonicalPath();
  const QString path =
      (canonicalFolder.isEmpty() ? file.absolutePath() : canonicalFolder) + "/" + file.fileName();
  const QByteArray id = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
  return folder + "/orvantis-" + QString::fromLatin1(id) + ".socket";
}

bool SingleInstance::isListening() const {
  return server_ && server_->isListening();
}

bool SingleInstance::handOverOrListen(const QStringList& args, int timeoutMs, int busyMs) {
  if (socketPath_.isEmpty()) return false;
  // Two copies started at the same moment take turns, so that only one of them listens. The copy
  // that listens keeps the turn until its event loop runs and it can answer.
  // Without the turn (a copy that holds it far too long) this one goes on all the same.
  turn_ = std::make_unique<QLockFile>(socketPath_ + ".lock");
  turn_->tryLock(kTurnWaitMs);
  const HandOver result = handOver(args, timeoutMs, busyMs);
  if (result == HandOver::Taken) {
    turn_.reset();
    return true;
  }
  // Nothing answers on the socket: a copy that was killed left it behind, or the copy hangs.
  if (result == HandOver::NoAnswer) QLocalServer::removeServer(socketPath_);
  listen();
  QTimer::singleShot(0, this, [this] { turn_.reset(); });
  return false;
}

SingleInstance::HandOver SingleInstance::handOver(const QStringList& args, int timeoutMs, int busyMs) const {
  QLocalSocket socket;
  socket.connectToServer(socketPath_);
  if (!socket.waitForConnected(timeoutMs)) {
    return socket.error() == QLocalSocket::ServerNotFoundError ? HandOver::NoCopy : HandOver::NoAnswer;
  }
  // The connection was taken, so a copy listens: it answers once its event loop runs again.
  const QDeadlineTimer deadline(std::max(timeoutMs, busyMs));
  socket.write(EncodeRequest(args));
  QByteArray answer;
  while (answer.size() < kAnswer.size() && !deadline.hasExpired()) {
    if (!socket.bytesAvailable() && !socket.waitForReadyRead(int(deadline.remainingTime()))) break;
    answer += socket.readAll();
  }
  return answer.startsWith(kAnswer) ? HandOver::Taken : HandOver::NoAnswer;
}

void SingleInstance::stopListening() {
  if (!isListening()) return;
  // Without the turn (a start holds it for a moment while it hands over) the copy stops all the same.
  turn_ = std::make_unique<QLockFile>(socketPath_ + ".lock");
  turn_->tryLock(0);
  server_->close();
}

void SingleInstance::listen() {
  if (!server_) {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
  }
  server_->listen(socketPath_);
}

void SingleInstance::acceptConnections() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(kRequestTimeoutMs, socket, [socket] { socket->abort(); });
  }
}

void SingleInstance::readRequest(QLocalSocket* socket) {
  if (socket->bytesAvailable() < kHeaderSize) return;
  const QByteArray header = socket->peek(kHeaderSize);
  const quint32 length = qFromBigEndian<quint32>(header.constData() + kMagic.size());
  if (!header.startsWith(kMagic) || length > kMaxRequest) {
    socket->abort();
    return;
  }
  if (socket->bytesAvailable() < kHeaderSize + qint64(length)) return;
  socket->skip(kHeaderSize);
  const QStringList args = DecodeArguments(socket->read(length));
  socket->write(kAnswer);
  socket->flush();
  socket->disconnectFromServer();
  emit argumentsReceived(args);
}

}  // namespace orv

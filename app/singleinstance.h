#pragma once
// One running copy of the program per user. The running copy listens on a local socket; a later
// start hands its arguments over and ends, so that two copies never overwrite each other's
// bookmarks and map links. A copy killed without cleaning up leaves its socket behind, and nothing
// listens on it: the new copy removes it and listens itself. A copy that listens but does not answer
// is busy (loading a large map keeps its event loop from running) or hung: it is waited for, and
// taken over only when it has not answered for far longer than any load takes. A copy still starting
// (its event loop not yet running, as while a large map decodes) cannot answer yet either: it holds
// the turn that starts take until then, so that a later start waits for it.
//
// On the socket a start sends "ORV1", the length of what follows as four bytes (most significant
// first), then each argument in UTF-8 followed by a zero byte; the running copy answers "OK".
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QLocalServer;
class QLockFile;
class QLocalSocket;

namespace orv {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // socketPath: where the running copy listens (DefaultSocketPath() for the program).
  explicit SingleInstance(QString socketPath, QObject* parent = nullptr);
  ~SingleInstance() override;

  // The socket in this user's runtime folder (XDG_RUNTIME_DIR, or the private folder that stands in
  // for it) of the copies that keep their settings in settingsFile: copies of the program in other
  // folders keep other bookmarks, and do not hand their requests to each other. Empty when there is
  // no such folder.
  static QString DefaultSocketPath(const QString& settingsFile);

  // Hands args to the running copy; true when it took them, and this copy should end. Otherwise this
  // copy listens from now on (when it can) and returns false: it starts normally, and later starts
  // wait until its event loop runs. timeoutMs: how long the running copy has to take the connection;
  // busyMs: how long a copy that took it has to answer.
  bool handOverOrListen(const QStringList& args, int timeoutMs = 2000, int busyMs = 60000);
  bool isListening() const;
  // For a copy that is closing: it stops listening, and holds the turn that starts take until it has
  // ended (with this object), so that a later start waits for its last saves and then starts anew
  // instead of handing its request to a copy that would drop it.
  void stopListening();

 signals:
  // The arguments of a later start, received by the running copy.
  void argumentsReceived(const QStringList& args);

 private:
  enum class HandOver { Taken, NoCopy, NoAnswer };
  HandOver handOver(const QStringList& args, int timeoutMs, int busyMs) const;
  void listen();
  void acceptConnections();
  void readRequest(QLocalSocket* socket);

  QString socketPath_;
  QLocalServer* server_ = nullptr;
  // Held from the hand-over until the event loop runs, and while the copy closes.
  std::unique_ptr<QLockFile> turn_;
};

}  // namespace orv

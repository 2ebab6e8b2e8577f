#pragma once
// Follows a text file that another program (the game) appends to, and hands on each new line.
//
// Only what is written after start() is delivered, one complete line at a time; a last line without
// its line break is held until the break arrives. A file system watcher gives quick notice, and a
// poll every 250 ms catches files that grow without notice (network folders, some writers).
//
// Truncation: when the file becomes shorter than what was read, or the bytes just before the read
// position change (the file was rewritten and has grown past the old length again), reading starts
// over from the beginning of the file. A game that empties its journal and goes on writing may have
// written new lines before the change is seen; starting from the new end would lose them.
//
// Replacement: when the path names another file than the one being read (renamed away, deleted and
// created again, or not there yet when following started), the rest of the old file is read first,
// a last line without a line break is delivered as it stands, and the new file is read from its start.
#include <sys/types.h>

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace orv {

// One line of a journal as text: UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252.
QString DecodeJournalLine(const QByteArray& bytes);

class JournalFollower : public QObject {
  Q_OBJECT

 public:
  explicit JournalFollower(QObject* parent = nullptr);
  ~JournalFollower() override;

  // Starts following path, ending any earlier following. A file that does not exist yet is read from
  // its start once it appears.
  void start(const QString& path);
  void stop();
  bool isFollowing() const { return !path_.isEmpty(); }
  QString path() const { return path_; }

 signals:
  // A complete new line, without its line break (LF or CR LF).
  void lineAppended(const QString& line);

 private:
  void check();
  void openAt(bool atEnd);
  void closeFile();
  bool rewrittenBeforeOffset() const;
  void rememberTail(const QByteArray& consumed);
  bool readChunk(QStringList& lines);
  void takeLines(const QByteArray& bytes, QStringList& lines);
  void flushPartialLine(QStringList& lines);
  void watch();

  QString path_;
  int fd_ = -1;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  qint64 offset_ = 0;   // bytes of the open file read so far
  QByteArray tail_;     // the last bytes before offset_, to notice a rewritten file
  QByteArray partial_;  // bytes of a line whose line break has not arrived yet
  bool skippingLongLine_ = false;
  bool checking_ = false;
  int generation_ = 0;  // counts start() and stop(), to notice either while lines are delivered
  QFileSystemWatcher watcher_;
  QTimer poll_;
};

}  // namespace orv

#include "app/journalfollower.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStringDecoder>
#include <QStringList>

#include "core/positiontext.h"

namespace orv {
namespace {

constexpr int kPollMs = 250;
// Bytes read in one go; a larger backlog (a replaced file read from its start) is read over several
// turns of the event loop so that the window stays responsive.
constexpr qint64 kReadBudget = 1 << 20;
// A journal line is short; a longer run of bytes without a line break (a wrong file chosen, binary
// data) is dropped instead of being held in memory. It could hold no position anyway.
constexpr qsizetype kLineLimit = kLongestPositionLine;
// Bytes remembered from just before the read position, compared again to notice a rewritten file.
constexpr qsizetype kTailBytes = 64;

QByteArray ReadAt(int fd, qint64 offset, qint64 length) {
  QByteArray bytes(length, Qt::Uninitialized);
  const ssize_t n = ::pread(fd, bytes.data(), static_cast<size_t>(length), offset);
  bytes.truncate(n > 0 ? n : 0);
  return bytes;
}

}  // namespace

QString DecodeJournalLine(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (!utf8.hasError()) return text;
  QStringDecoder windows("windows-1252");
  if (!windows.isValid()) return QString::fromLatin1(bytes);
  return windows.decode(bytes);
}

JournalFollower::JournalFollower(QObject* parent) : QObject(parent) {
  poll_.setSingleShot(true);
  connect(&poll_, &QTimer::timeout, this, &JournalFollower::check);
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &JournalFollower::check);
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &JournalFollower::check);
}

JournalFollower::~JournalFollower() {
  closeFile();
}

void JournalFollower::start(const QString& path) {
  stop();
  path_ = QFileInfo(path).absoluteFilePath();
  openAt(true);
  watch();
  poll_.start(kPollMs);
}

void JournalFollower::stop() {
  ++generation_;
  closeFile();
  poll_.stop();
  if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
  if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
  path_.clear();
}

// Opens the file at path_, if it is a regular file, positioned at its start or, when atEnd, at the
// start of its last line without a line break, so that a line being written while following starts
// is delivered whole.
void JournalFollower::openAt(bool atEnd) {
  closeFile();
  const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return;
  }
  fd_ = fd;
  device_ = st.st_dev;
  inode_ = st.st_ino;
  if (!atEnd) return;
  const qint64 size = st.st_size;
  const qint64 from = qMax<qint64>(0, size - kLineLimit);
  const QByteArray last = ReadAt(fd_, from, size - from);
  const qsizetype lineBreak = last.lastIndexOf('\n');
  if (lineBreak >= 0) {
    offset_ = from + lineBreak + 1;
  } else {
    // No line break in the last kLineLimit bytes: following starts inside a line longer than any
    // journal line, and the rest of it is dropped as such lines are.
    offset_ = from == 0 ? 0 : size;
    skippingLongLine_ = from > 0;
  }
  rememberTail(last.left(offset_ - from));
}

void JournalFollower::closeFile() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  device_ = 0;
  inode_ = 0;
  offset_ = 0;
  tail_.clear();
  partial_.clear();
  skippingLongLine_ = false;
}

bool JournalFollower::rewrittenBeforeOffset() const {
  if (tail_.isEmpty()) return false;
  return ReadAt(fd_, offset_ - tail_.size(), tail_.size()) != tail_;
}

void JournalFollower::rememberTail(const QByteArray& consumed) {
  tail_ += consumed;
  if (tail_.size() > kTailBytes) tail_ = tail_.right(kTailBytes);
}

// Reads what the open file holds beyond offset_, at most kReadBudget bytes, starting over from the
// beginning when the file was truncated or rewritten. Returns true when more is waiting.
bool JournalFollower::readChunk(QStringList& lines) {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return false;
  if (st.st_size < offset_ || rewrittenBeforeOffset()) {
    offset_ = 0;
    tail_.clear();
    partial_.clear();
    skippingLongLine_ = false;
  }
  const qint64 waiting = st.st_size - offset_;
  if (waiting <= 0) return false;
  const QByteArray bytes = ReadAt(fd_, offset_, qMin(waiting, kReadBudget));
  if (bytes.isEmpty()) return false;
  offset_ += bytes.size();
  rememberTail(bytes);
  takeLines(bytes, lines);
  return waiting > bytes.size();
}

void JournalFollower::takeLines(const QByteArray& bytes, QStringList& lines) {
  qsizetype from = 0;
  while (from < bytes.size()) {
    const qsizetype lineBreak = bytes.indexOf('\n', from);
    if (lineBreak < 0) {
      partial_ += bytes.mid(from);
      if (partial_.size() > kLineLimit) {
        partial_.clear();
        skippingLongLine_ = true;
      }
      return;
    }
    partial_ += bytes.mid(from, lineBreak - from);
    if (!skippingLongLine_ && partial_.size() <= kLineLimit) {
      if (partial_.endsWith('\r')) partial_.chop(1);
      lines.append(DecodeJournalLine(partial_));
    }
    partial_.clear();
    skippingLongLine_ = false;
    from = lineBreak + 1;
  }
}

void JournalFollower::flushPartialLine(QStringList& lines) {
  if (!partial_.isEmpty() && !skippingLongLine_) {
    if (partial_.endsWith('\r')) partial_.chop(1);
    lines.append(DecodeJournalLine(partial_));
  }
  partial_.clear();
  skippingLongLine_ = false;
}

// The watcher drops a file once it is removed or renamed; it is watched again whenever the path
// names a file. The folder is watched too, to notice the file being created or replaced.
void JournalFollower::watch() {
  const QFileInfo info(path_);
  const QString folder = info.absolutePath();
  if (!watcher_.directories().contains(folder) && QFileInfo(folder).isDir()) watcher_.addPath(folder);
  if (!watcher_.files().contains(path_) && info.isFile()) watcher_.addPath(path_);
}

void JournalFollower::check() {
  if (path_.isEmpty() || checking_) return;
  checking_ = true;
  QStringList lines;
  // The rest of the file being read comes first, even when the path already names another file.
  bool more = fd_ >= 0 && readChunk(lines);
  if (!more) {
    struct stat st {};
    const bool isFile = ::stat(QFile::encodeName(path_).constData(), &st) == 0 && S_ISREG(st.st_mode);
    if (isFile && (fd_ < 0 || st.st_dev != device_ || st.st_ino != inode_)) {
      flushPartialLine(lines);
      openAt(false);
      more = fd_ >= 0 && readChunk(lines);
    }
  }
  watch();
  poll_.start(more ? 0 : kPollMs);

  // A receiver may stop or restart following, or delete this object, while a line is delivered.
  const QPointer<JournalFollower> self(this);
  const int generation = generation_;
  for (const QString& line : lines) {
    emit lineAppended(line);
    if (!self) return;
    if (generation != generation_) break;
  }
  checking_ = false;
}

}  // namespace orv

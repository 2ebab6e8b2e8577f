#include "app/shutdownsignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QtGlobal>
#include <array>
#include <cerrno>
#include <csignal>

namespace orv {
namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};
std::array<struct sigaction, kSignals.size()> previousActions;
// A signal ignored when the program started (nohup ignores SIGHUP, a shell ignores SIGINT for a
// program it runs in the background) would not have ended it: it stays ignored.
std::array<bool, kSignals.size()> caught;

// The pipe's writing end, for the handler; -1 while no object catches the signals.
volatile sig_atomic_t writeFd = -1;

// Runs inside the signal: only async-signal-safe calls, and errno left as it was.
void OnSignal(int number) {
  const int savedErrno = errno;
  const unsigned char byte = static_cast<unsigned char>(number);
  const ssize_t written = ::write(writeFd, &byte, 1);
  (void)written;  // a full pipe already holds a signal waiting to be read
  errno = savedErrno;
}

}  // namespace

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {
  int fds[2];
  if (writeFd != -1 || ::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  readFd_ = fds[0];
  writeFd = fds[1];
  notifier_ = new QSocketNotifier(readFd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &ShutdownSignals::readSignals);

  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    caught[i] = ::sigaction(kSignals[i], nullptr, &previousActions[i]) == 0 &&
                previousActions[i].sa_handler != SIG_IGN;
    if (caught[i]) ::sigaction(kSignals[i], &action, nullptr);
  }
  installed_ = true;
}

ShutdownSignals::~ShutdownSignals() {
  if (!installed_) return;
  for (std::size_t i = 0; i < kSignals.size(); ++i)
    if (caught[i]) ::sigaction(kSignals[i], &previousActions[i], nullptr);
  delete notifier_;
  const int fd = writeFd;
  writeFd = -1;
  ::close(fd);
  ::close(readFd_);
}

void ShutdownSignals::readSignals() {
  unsigned char bytes[16];
  int first = 0;
  ssize_t n;
  while ((n = ::read(readFd_, bytes, sizeof bytes)) > 0) {
    if (!first) first = bytes[0];
  }
  if (!first || firstSignal_) return;
  firstSignal_ = first;
  emit shutdownRequested(firstSignal_);
}

}  // namespace orv

// Inputs are read in large chunks into one buffer per file and cut into lines in place; a wait for more input is a
// poll on the file and the stop signals' descriptor together, so neither a stalled pipe nor a signal is missed.
#include "cli/input_reader.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quorix {
namespace {

constexpr std::size_t kChunk = 64 * 1024;
// Long enough that a writer producing lines in bursts fills a block, short enough that a reader sees each line
// of a slow stream at once.
constexpr int kStallMilliseconds = 10;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

sigset_t stopSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

// Takes one signal from the descriptor if it holds one.
void takeSignal(StopSignals& stop) {
  signalfd_siginfo info{};
  if (::read(stop.fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info) && stop.received == 0) {
    stop.received = static_cast<int>(info.ssi_signo);
  }
}

enum class Fill { kMore, kEnd, kStalled, kStopped, kError };

// Waits for input (not longer than the stall wait when mayStall) and appends what one read gives.
Fill fill(InputFile& file, bool mayStall) {
  pollfd fds[2] = {{.fd = file.fd, .events = POLLIN, .revents = 0},
                   {.fd = file.stop != nullptr ? file.stop->fd : -1, .events = POLLIN, .revents = 0}};
  while (true) {
    const int ready = ::poll(fds, 2, mayStall ? kStallMilliseconds : -1);
    if (ready > 0) break;
    if (ready == 0) return Fill::kStalled;
    if (errno != EINTR) {
      file.error = errno;
      return Fill::kError;
    }
  }
  if ((fds[1].revents & POLLIN) != 0) {
    takeSignal(*file.stop);
    return Fill::kStopped;
  }
  if (file.begin > 0) {  // keep the line being read at the front, so the buffer grows only for long lines
    std::memmove(file.buffer.data(), file.buffer.data() + file.begin, file.end - file.begin);
    file.end -= file.begin;
    file.scanned -= file.begin;
    file.begin = 0;
  }
  if (file.buffer.size() - file.end < kChunk) file.buffer.resize(std::max(file.buffer.size() * 2, file.end + kChunk));
  while (true) {
    const ssize_t got = ::read(file.fd, file.buffer.data() + file.end, file.buffer.size() - file.end);
    if (got > 0) {
      file.end += static_cast<std::size_t>(got);
      return Fill::kMore;
    }
    if (got == 0) {
      file.ended = true;
      return Fill::kEnd;
    }
    if (errno != EINTR) {
      file.error = errno;
      return Fill::kError;
    }
  }
}

InputEvent eventOf(Fill fill) {
  switch (fill) {
    case Fill::kStalled:
      return InputEvent::kStalled;
    case Fill::kStopped:
      return InputEvent::kStopped;
    default:
      return InputEvent::kError;
  }
}

std::string_view withoutByteOrderMark(std::string_view text) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  return text;
}

// Hands out [begin, stop) as the next line and moves past it and its line end.
InputEvent takeLine(InputFile& file, std::size_t stop, std::size_t next, std::size_t maxBytes, std::string_view& line) {
  line = std::string_view(file.buffer.data() + file.begin, stop - file.begin);
  file.begin = file.scanned = next;
  ++file.line;
  if (file.skipping || line.size() > maxBytes) {
    file.skipping = false;
    line = {};
    return InputEvent::kTooLong;
  }
  if (file.line == 1) line = withoutByteOrderMark(line);
  return InputEvent::kData;
}

}  // namespace

bool watchStopSignals(StopSignals& stop) {
  const sigset_t set = stopSignalSet();
  sigset_t previous;
  if (::pthread_sigmask(SIG_BLOCK, &set, &previous) != 0) return false;
  stop.fd = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
  if (stop.fd < 0) {
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return false;
  }
  return true;
}

void unwatchStopSignals(StopSignals& stop) {
  if (stop.fd < 0) return;
  ::close(stop.fd);
  stop.fd = -1;
  const sigset_t set = stopSignalSet();
  ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

bool stopRequested(StopSignals* stop) {
  if (stop == nullptr || stop->fd < 0) return false;
  if (stop->received == 0) takeSignal(*stop);
  return stop->received != 0;
}

int openInput(const std::string& name, InputFile& file, StopSignals* stop) {
  file = InputFile{};
  file.stop = stop;
  if (name == "-") {
    file.fd = STDIN_FILENO;
    return 0;
  }
  file.fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (file.fd < 0) return errno;
  file.owned = true;
  return 0;
}

void closeInput(InputFile& file) {
  if (file.owned && file.fd >= 0) ::close(file.fd);
  file.fd = -1;
  file.owned = false;
}

InputEvent nextLine(InputFile& file, std::size_t maxBytes, bool mayStall, std::string_view& line) {
  while (true) {
    const char* from = file.buffer.data() + file.scanned;
    const auto* newline = static_cast<const char*>(std::memchr(from, '\n', file.end - file.scanned));
    if (newline != nullptr) {
      const auto stop = static_cast<std::size_t>(newline - file.buffer.data());
      return takeLine(file, stop, stop + 1, maxBytes, line);
    }
    file.scanned = file.end;
    if (!file.skipping && file.end - file.begin > maxBytes) file.skipping = true;
    if (file.skipping) file.begin = file.scanned = file.end = 0;  // what it holds is not kept
    if (file.ended) {
      if (file.begin < file.end || file.skipping) return takeLine(file, file.end, file.end, maxBytes, line);
      return InputEvent::kEnd;
    }
    const Fill got = fill(file, mayStall);
    if (got != Fill::kMore && got != Fill::kEnd) return eventOf(got);
  }
}

InputEvent readWhole(InputFile& file, std::size_t maxBytes, std::string_view& bytes) {
  while (!file.ended) {
    if (file.end - file.begin > maxBytes) return InputEvent::kTooLong;
    const Fill got = fill(file, false);
    if (got != Fill::kMore && got != Fill::kEnd) return eventOf(got);
  }
  if (file.end - file.begin > maxBytes) return InputEvent::kTooLong;
  bytes = withoutByteOrderMark(std::string_view(file.buffer.data() + file.begin, file.end - file.begin));
  file.begin = file.scanned = file.end;
  return InputEvent::kData;
}

}  // namespace quorix

#include "sim/uhid/Emulation.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <sstream>
#include <thread>

#include "reader/Hex.h"

namespace tavrin {
namespace {

constexpr int kMaxReaders = 8;
constexpr std::size_t kMaxCommand = 256;

std::optional<int> Number(const std::string& text) {
  try {
    std::size_t used = 0;
    const int value = std::stoi(text, &used);
    if (used == text.size()) return value;
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

// A Unix stream socket addressed by path; -1 when the path does not fit.
int UnixSocket(const std::string& path, sockaddr_un& address) {
  address = sockaddr_un{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return -1;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
}

void SetReadTimeout(int fd, int seconds) {
  timeval timeout{seconds, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
}

std::string ReadAll(int fd, std::size_t limit, char stop) {
  std::string text;
  char chunk[512];
  ssize_t got = 0;
  while (text.size() < limit && (got = ::read(fd, chunk, sizeof chunk)) > 0) {
    text.append(chunk, static_cast<std::size_t>(got));
    if (text.find(stop) != std::string::npos) break;
  }
  return text;
}

void WriteAll(int fd, const std::string& text) {
  for (std::size_t sent = 0; sent < text.size();) {
    const ssize_t done = ::write(fd, text.data() + sent, text.size() - sent);
    if (done <= 0) return;
    sent += static_cast<std::size_t>(done);
  }
}

}  // namespace

std::string Emulation::Execute(const std::string& command) {
  std::istringstream words(command);
  std::string verb, argument;
  words >> verb >> argument;
  if (verb == "setup") {
    const auto count = Number(argument);
    if (!count || *count < 0 || *count > kMaxReaders) return "error: setup takes 0 to 8";
    return Setup(*count);
  }
  UhidReader* reader = Reader(argument);
  if (reader == nullptr) return "error: no reader '" + argument + "'";
  if (verb == "unplug") {
    reader->Unplug();
    return "ok";
  }
  if (verb == "plug") return reader->Plug() ? "ok" : "error: " + reader->Error();
  if (verb == "status") return Status(*reader);
  if (verb == "pages") return Pages(*reader);
  if (verb == "nodes") return reader->KeyboardNode() + " " + reader->OwnNode();
  return "error: unknown command '" + verb + "'";
}

std::string Emulation::Setup(int count) {
  readers_.clear();
  // One after the other, so that enumeration lists them in this order.
  for (int index = 0; index < count; ++index) {
    auto& reader = readers_.emplace_back(std::make_unique<UhidReader>(index));
    if (!reader->Plug()) return "error: " + reader->Error();
  }
  return "ok";
}

std::string Emulation::Status(const UhidReader& reader) const {
  const SimReader& firmware = reader.firmware;
  std::string commands;
  for (const ReaderFrame& report : firmware.received)
    commands += HexBytes(std::span(&report[kCommandOffset], 1));
  std::ostringstream text;
  text << "received=" << firmware.received.size() << " reads=" << reader.inputReportsAsked
       << " resets=" << firmware.resets << " keyboard=" << reader.keyboardRequests
       << " commands=" << commands << " plugged=" << reader.IsPlugged()
       << " open=" << reader.ownOpen;
  return text.str();
}

std::string Emulation::Pages(const UhidReader& reader) const {
  std::ostringstream text;
  const char* separator = "";
  for (const auto& [number, bytes] : reader.firmware.pages) {
    text << separator << static_cast<int>(number) << ' ' << HexBytes(bytes, "");
    separator = "\n";
  }
  return text.str();
}

UhidReader* Emulation::Reader(const std::string& index) {
  const auto number = Number(index);
  if (!number || *number < 0 || *number >= static_cast<int>(readers_.size())) return nullptr;
  return readers_[static_cast<std::size_t>(*number)].get();
}

std::string Emulation::Serve(const std::string& socketPath) {
  sockaddr_un address;
  const int listener = UnixSocket(socketPath, address);
  ::unlink(socketPath.c_str());
  if (listener < 0 ||
      ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, 4) != 0) {
    return "cannot serve at " + socketPath + ": " + std::strerror(errno);
  }
  // The checks that run without privileges ask too.
  ::chmod(socketPath.c_str(), 0666);
  for (;;) {
    std::vector<pollfd> waits;
    for (const auto& reader : readers_) {
      for (int fd : {reader->KeyboardDescriptor(), reader->OwnDescriptor()})
        if (fd >= 0) waits.push_back({fd, POLLIN, 0});
    }
    waits.push_back({listener, POLLIN, 0});
    if (::poll(waits.data(), waits.size(), -1) < 0 && errno != EINTR) return std::strerror(errno);
    for (const pollfd& wait : waits) {
      if (wait.fd == listener || (wait.revents & POLLIN) == 0) continue;
      for (const auto& reader : readers_)
        if (reader->Service(wait.fd)) break;
    }
    // Last: a command may replace the readers the list was made from.
    if ((waits.back().revents & POLLIN) != 0) Answer(listener);
  }
}

void Emulation::Answer(int listener) {
  const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
  if (client < 0) return;
  SetReadTimeout(client, 5);
  std::string command = ReadAll(client, kMaxCommand, '\n');
  command = command.substr(0, command.find('\n'));
  WriteAll(client, Execute(command) + "\n");
  ::close(client);
}

std::optional<std::string> AskEmulation(const std::string& command, const std::string& socketPath) {
  sockaddr_un address;
  // The emulation may still be starting.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int fd = UnixSocket(socketPath, address);
    if (fd < 0) return std::nullopt;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
      WriteAll(fd, command + "\n");
      ::shutdown(fd, SHUT_WR);
      std::string reply = ReadAll(fd, std::string::npos, '\0');
      ::close(fd);
      if (reply.ends_with('\n')) reply.pop_back();
      return reply;
    }
    ::close(fd);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return std::nullopt;
}

}  // namespace tavrin

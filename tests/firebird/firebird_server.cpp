#include "firebird_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "isql.h"

namespace vexa::firebird {
namespace {

constexpr std::chrono::seconds kStartTimeout{30};
constexpr const char* kUser = "SYSDBA";
constexpr const char* kPassword = "vexatest";

sockaddr_in LoopbackAddress(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

bool AcceptsConnections(int port) {
  const int socketFd = socket(AF_INET, SOCK_STREAM, 0);
  if (socketFd < 0) return false;
  const sockaddr_in address = LoopbackAddress(port);
  const bool connected = connect(socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(socketFd);
  return connected;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string ServerConfiguration(int port, const std::filesystem::path& securityDatabase) {
  return "RemoteServicePort = " + std::to_string(port) +
         "\nRemoteBindAddress = 127.0.0.1\nSecurityDatabase = " + securityDatabase.string() + "\n";
}

// The security database the root's firebird.conf names, with one user.
void CreateSecurityDatabase(const Environment& environment, const std::filesystem::path& securityDatabase) {
  const std::filesystem::path script = securityDatabase.string() + ".sql";
  std::ofstream(script) << "CREATE DATABASE '" << securityDatabase.string() << "';\n"
                        << "CREATE USER " << kUser << " PASSWORD '" << kPassword << "' USING PLUGIN Srp;\n"
                        << "COMMIT;\n";
  RunIsqlScript(environment, script);
}

}  // namespace

int FreeLoopbackPort() {
  const int socketFd = socket(AF_INET, SOCK_STREAM, 0);
  if (socketFd < 0) throw std::runtime_error("no socket");
  sockaddr_in address = LoopbackAddress(0);
  socklen_t length = sizeof address;
  const bool bound = bind(socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                     getsockname(socketFd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
  close(socketFd);
  if (!bound) throw std::runtime_error("no free port on 127.0.0.1");
  return ntohs(address.sin_port);
}

FirebirdServer::FirebirdServer(const PrivateRoot& root, int port, const std::filesystem::path& logFile)
    : port_(port), process_({FIREBIRD_SERVER_PATH}, root.Variables(), logFile) {
  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (!AcceptsConnections(port_)) {
    if (!process_.IsRunning()) {
      throw std::runtime_error("the server ended before it listened: " + ReadFile(logFile) +
                               ReadFile(std::filesystem::path(root.Directory()) / "firebird.log"));
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      process_.Stop(std::chrono::seconds(5));
      throw std::runtime_error("the server did not listen on port " + std::to_string(port_));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

void FirebirdServer::Kill() {
  kill(process_.Pid(), SIGKILL);
  while (process_.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

ServedDatabase::ServedDatabase(const ModuleConfiguration& configuration, const DatabaseSetup& setup)
    : port_(FreeLoopbackPort()),
      logFile_(serverFiles_.Path() / "server.log"),
      database_(configuration, ServerMode::kSuper, ServerConfiguration(port_, serverFiles_.Path() / "security.fdb"),
                setup) {
  CreateSecurityDatabase(database_.Root().Variables(), serverFiles_.Path() / "security.fdb");
  server_ = std::make_unique<FirebirdServer>(database_.Root(), port_, logFile_);
}

void ServedDatabase::Restart() {
  server_.reset();
  server_ = std::make_unique<FirebirdServer>(database_.Root(), port_, logFile_);
}

std::vector<std::string> ServedDatabase::IsqlCommand(const std::filesystem::path& script) const {
  return {IsqlProgram(), "-q", "-user", kUser, "-password", kPassword, "-i", script.string(),
          "127.0.0.1/" + std::to_string(port_) + ":" + database_.DatabasePath().string()};
}

std::unique_ptr<Connection> ServedDatabase::Connect(const std::string& charset) const {
  return ConnectTo(database_.DatabasePath(), charset);
}

std::unique_ptr<Connection> ServedDatabase::ConnectTo(const std::filesystem::path& database,
                                                      const std::string& charset) const {
  ConnectionOptions options;
  options.charset = charset;
  options.database = "127.0.0.1/" + std::to_string(port_) + ":" + database.string();
  options.user = kUser;
  options.password = kPassword;
  return std::make_unique<Connection>(options);
}

}  // namespace vexa::firebird

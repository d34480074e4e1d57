// A Firebird server process of the installed packages, run by hand on
// 127.0.0.1 with a private root of its own, never as a system service.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "bounded_process.h"
#include "fulltext_database.h"
#include "sql_connection.h"
#include "support/host/temp_directory.h"

namespace vexa::firebird {

// A TCP port on 127.0.0.1 that was free a moment ago.
int FreeLoopbackPort();

class FirebirdServer {
 public:
  // Starts the server under `root`, whose firebird.conf names `port`, and
  // waits (bounded) until it accepts connections there.
  FirebirdServer(const PrivateRoot& root, int port, const std::filesystem::path& logFile);
  // Stops the server, if it runs: SIGTERM, and SIGKILL when it has not ended
  // 2 s later (it often has not, see Stop): a test's databases need no clean
  // shutdown.
  ~FirebirdServer() { process_.Stop(std::chrono::seconds(2)); }

  bool IsRunning() { return process_.IsRunning(); }
  // SIGTERM, and SIGKILL when the server has not ended 10 s later (the
  // 3.0.11 server now and then ignores SIGTERM). True when SIGTERM did it.
  bool Stop() { return process_.Stop(std::chrono::seconds(10)); }
  // SIGKILL: the server ends at once, as in a crash.
  void Kill();

 private:
  int port_;
  BackgroundProcess process_;
};

// A full-text database served by a server process of its own: SuperServer
// mode, its own security database with one user, and a log.
class ServedDatabase {
 public:
  explicit ServedDatabase(const ModuleConfiguration& configuration, const DatabaseSetup& setup = DatabaseSetup());

  // A further database beside it that the same server serves (see
  // FulltextDatabase::AddDatabase); returns its file.
  std::filesystem::path AddDatabase(const std::string& name, const DatabaseSetup& setup) const {
    return database_.AddDatabase(name, setup);
  }

  // A new attachment through the server, as the user with the password, to
  // this database or to one of AddDatabase.
  std::unique_ptr<Connection> Connect(const std::string& charset = "WIN1251") const;
  std::unique_ptr<Connection> ConnectTo(const std::filesystem::path& database, const std::string& charset = "WIN1251") const;
  const std::filesystem::path& DatabasePath() const { return database_.DatabasePath(); }
  // isql-fb's command line that runs `script` against this database through
  // the server, and the environment to run it in.
  std::vector<std::string> IsqlCommand(const std::filesystem::path& script) const;
  Environment ClientEnvironment() const { return database_.Root().Variables(); }
  FirebirdServer& Server() { return *server_; }
  // Starts the server again after it ended (or was killed).
  void Restart();

 private:
  int port_;
  vexa::host::TempDirectory serverFiles_;
  std::filesystem::path logFile_;
  FulltextDatabase database_;
  std::unique_ptr<FirebirdServer> server_;
};

}  // namespace vexa::firebird

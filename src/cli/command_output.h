// How every command ends: its outcome as an exit status, a failure as a message on stderr with a
// stable machine code, and with --json one document on stdout, also when the command failed:
// {"schemaVersion", "command", "error", the command's own members, "log"}.
#pragma once

#include <optional>
#include <string>

#include "cli/json_report.h"

namespace tarvo::cli {

// The document as tarvo-cli prints it: indented, with an object or array of plain values on
// one line.
std::string PrettyJson(const json::Json& document);

class CommandOutput {
 public:
  CommandOutput(std::string command, bool json) : command_(std::move(command)), json_(json) {}

  bool Json() const { return json_; }
  const std::string& Command() const { return command_; }

  // The command's own members of the document, in the order they are set.
  json::Json& Document() { return members_; }

  // The command failed: prints the message on stderr and keeps it, with the code, for the
  // document. Returns the status, so a command can end with `return out.Fail(...)`.
  int Fail(int status, const std::string& code, const std::string& message);
  // The same for a message that is already on the screen (a run's own summary line).
  int FailShown(int status, const std::string& code, const std::string& message);
  bool Failed() const { return error_.has_value(); }

  // The log the command wrote, once it is closed: the path and whether it ends sealed.
  void SetLog(const std::string& path, bool sealed);

  // With --json, prints the document for this exit status on stdout.
  void Print(int status) const;
  json::Json Render(int status) const;

 private:
  struct Error {
    std::string code;
    std::string message;
  };

  std::string command_;
  bool json_;
  json::Json members_ = json::Json::object();
  std::optional<Error> error_;
  std::optional<json::Json> log_;
};

}  // namespace tarvo::cli

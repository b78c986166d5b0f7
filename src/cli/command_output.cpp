#include "cli/command_output.h"

#include <cstdio>

#include "cli/terminal_report.h"

namespace tarvo::cli {

namespace {

constexpr std::size_t kLineWidth = 100;

// Paths and packet texts are bytes, not always UTF-8: a byte that is no UTF-8 is replaced
// rather than ending the program.
std::string Compact(const json::Json& value) {
  return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// A flat object or array on one line, with a blank after each separator (the compact form has
// none): {"index": 2, "name": "Main FPGA"}.
std::string OneLine(const json::Json& value) {
  std::string line = value.is_object() ? "{" : "[";
  for (auto item = value.begin(); item != value.end(); ++item) {
    if (item != value.begin()) line += ", ";
    if (value.is_object()) line += Compact(item.key()) + ": ";
    line += Compact(item.value());
  }
  return line + (value.is_object() ? "}" : "]");
}

// Indented by two, except that an object or array of plain values stands on one line when it
// fits: a device, a version or a step reads at a glance.
void Pretty(const json::Json& value, const std::string& indent, std::string* out) {
  if (!value.is_structured() || value.empty()) {
    *out += Compact(value);
    return;
  }
  bool flat = true;
  for (const json::Json& item : value) flat = flat && (!item.is_structured() || item.empty());
  if (flat && indent.size() + Compact(value).size() <= kLineWidth) {
    *out += OneLine(value);
    return;
  }
  const std::string inner = indent + "  ";
  *out += value.is_object() ? "{\n" : "[\n";
  bool first = true;
  for (auto item = value.begin(); item != value.end(); ++item) {
    *out += (first ? "" : ",\n") + inner;
    first = false;
    if (value.is_object()) *out += Compact(item.key()) + ": ";
    Pretty(item.value(), inner, out);
  }
  *out += "\n" + indent + (value.is_object() ? "}" : "]");
}

}  // namespace

int CommandOutput::Fail(int status, const std::string& code, const std::string& message) {
  PrintError(message);
  return FailShown(status, code, message);
}

int CommandOutput::FailShown(int status, const std::string& code, const std::string& message) {
  if (!error_) error_ = Error{code, message};
  return status;
}

void CommandOutput::SetLog(const std::string& path, bool sealed) {
  log_ = json::Log(path, sealed);
}

// A failure that named no cause of its own still gets a code, so that a script never finds a
// failing command without an error.
json::Json CommandOutput::Render(int status) const {
  json::Json document = {{"schemaVersion", json::kSchemaVersion}, {"command", command_}};
  if (status == 0) {
    document["error"] = nullptr;
  } else {
    const Error error = error_.value_or(Error{"failed", "The command failed."});
    document["error"] = {{"code", error.code},
                         {"message", error.message},
                         {"exitStatus", status},
                         {"logFile", log_ ? (*log_)["path"] : json::Json()}};
  }
  for (const auto& [key, value] : members_.items()) document[key] = value;
  if (log_) document["log"] = *log_;
  return document;
}

std::string PrettyJson(const json::Json& document) {
  std::string text;
  Pretty(document, "", &text);
  return text + "\n";
}

void CommandOutput::Print(int status) const {
  if (!json_) return;
  std::fflush(stderr);
  std::fputs(PrettyJson(Render(status)).c_str(), stdout);
  std::fflush(stdout);
}

}  // namespace tarvo::cli

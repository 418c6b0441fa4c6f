#include "RegistryStore.h"

#include <time.h>

#include "platform/text/NameFold.h"

namespace twl::registry {
namespace {

// Now as a FILETIME count: 100-nanosecond steps since 1601-01-01 UTC.
int64_t FileTimeNow() {
  constexpr int64_t kUnixEpochIn1601Steps = 116444736000000000LL;
  timespec now {};
  clock_gettime(CLOCK_REALTIME, &now);
  return kUnixEpochIn1601Steps + now.tv_sec * 10000000LL + now.tv_nsec / 100;
}

}  // namespace

bool Store::KeyExists(int64_t key) {
  return transaction_.Prepare("SELECT 1 FROM reg_keys WHERE id = ?").Bind(1, key).Step();
}

int64_t Store::FindChild(int64_t parent, std::string_view name) {
  auto statement = transaction_.Prepare("SELECT id FROM reg_keys WHERE parent = ? AND folded = ?");
  statement.Bind(1, parent).Bind(2, FoldName(name));
  return statement.Step() ? statement.Int(0) : 0;
}

int64_t Store::FindPath(int64_t key, const std::vector<std::string>& path) {
  for (const auto& name : path) {
    if (key == 0) break;
    key = FindChild(key, name);
  }
  return key;
}

int64_t Store::CreateChild(int64_t parent, std::string_view name) {
  transaction_.Prepare("INSERT INTO reg_keys(parent, name, folded, written) VALUES(?, ?, ?, ?)")
      .Bind(1, parent)
      .Bind(2, name)
      .Bind(3, FoldName(name))
      .Bind(4, FileTimeNow())
      .Run();
  return transaction_.LastInsertId();
}

bool Store::HasChildren(int64_t key) {
  return transaction_.Prepare("SELECT 1 FROM reg_keys WHERE parent = ? LIMIT 1").Bind(1, key).Step();
}

void Store::DeleteKey(int64_t key) {
  transaction_.Prepare("DELETE FROM reg_values WHERE key = ?").Bind(1, key).Run();
  transaction_.Prepare("DELETE FROM reg_keys WHERE id = ?").Bind(1, key).Run();
}

std::vector<std::string> Store::ChildNames(int64_t key) {
  auto statement = transaction_.Prepare("SELECT name FROM reg_keys WHERE parent = ? ORDER BY folded");
  statement.Bind(1, key);
  std::vector<std::string> names;
  while (statement.Step()) names.push_back(statement.Text(0));
  return names;
}

std::optional<std::string> Store::ChildAt(int64_t key, DWORD index) {
  auto statement = transaction_.Prepare("SELECT name FROM reg_keys WHERE parent = ? ORDER BY folded LIMIT 1 OFFSET ?");
  statement.Bind(1, key).Bind(2, static_cast<int64_t>(index));
  if (!statement.Step()) return std::nullopt;
  return statement.Text(0);
}

FILETIME Store::LastWritten(int64_t key) {
  auto statement = transaction_.Prepare("SELECT written FROM reg_keys WHERE id = ?");
  statement.Bind(1, key);
  auto written = static_cast<uint64_t>(statement.Step() ? statement.Int(0) : 0);
  return FILETIME{static_cast<DWORD>(written), static_cast<DWORD>(written >> 32)};
}

std::optional<Value> Store::GetValue(int64_t key, std::string_view name) {
  auto statement = transaction_.Prepare("SELECT name, type, data FROM reg_values WHERE key = ? AND folded = ?");
  statement.Bind(1, key).Bind(2, FoldName(name));
  if (!statement.Step()) return std::nullopt;
  return Value{statement.Text(0), static_cast<DWORD>(statement.Int(1)), statement.Blob(2)};
}

void Store::SetValue(int64_t key, std::string_view name, DWORD type, const BYTE* data, size_t size) {
  // An existing value keeps its place in the enumeration order and the
  // spelling of its name.
  transaction_
      .Prepare(
          "INSERT INTO reg_values(key, name, folded, type, data) VALUES(?, ?, ?, ?, ?)"
          " ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data")
      .Bind(1, key)
      .Bind(2, name)
      .Bind(3, FoldName(name))
      .Bind(4, static_cast<int64_t>(type))
      .BindBlob(5, data, size)
      .Run();
  Touch(key);
}

bool Store::DeleteValue(int64_t key, std::string_view name) {
  if (!GetValue(key, name)) return false;
  transaction_.Prepare("DELETE FROM reg_values WHERE key = ? AND folded = ?").Bind(1, key).Bind(2, FoldName(name)).Run();
  Touch(key);
  return true;
}

std::vector<Value> Store::Values(int64_t key) {
  auto statement = transaction_.Prepare("SELECT name, type, data FROM reg_values WHERE key = ? ORDER BY id");
  statement.Bind(1, key);
  std::vector<Value> values;
  while (statement.Step()) {
    values.push_back(Value{statement.Text(0), static_cast<DWORD>(statement.Int(1)), statement.Blob(2)});
  }
  return values;
}

std::optional<Value> Store::ValueAt(int64_t key, DWORD index) {
  auto statement =
      transaction_.Prepare("SELECT name, type, data FROM reg_values WHERE key = ? ORDER BY id LIMIT 1 OFFSET ?");
  statement.Bind(1, key).Bind(2, static_cast<int64_t>(index));
  if (!statement.Step()) return std::nullopt;
  return Value{statement.Text(0), static_cast<DWORD>(statement.Int(1)), statement.Blob(2)};
}

void Store::Touch(int64_t key) {
  transaction_.Prepare("UPDATE reg_keys SET written = ? WHERE id = ?").Bind(1, FileTimeNow()).Bind(2, key).Run();
}

}  // namespace twl::registry

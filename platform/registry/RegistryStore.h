// Keys and values as rows of the registry database, inside one transaction.
// A key is named by its row id; ids are never reused, so a handle to a
// deleted key cannot come to name a new one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "RegistryDatabase.h"

namespace twl::registry {

struct Value {
  std::string name;
  DWORD type = 0;
  std::vector<BYTE> data;
};

class Store {
 public:
  explicit Store(Transaction& transaction) : transaction_(transaction) {}

  bool KeyExists(int64_t key);
  // The child of `parent` with that name, 0 when there is none.
  int64_t FindChild(int64_t parent, std::string_view name);
  // The key at `path` below `key`, 0 when some part is missing.
  int64_t FindPath(int64_t key, const std::vector<std::string>& path);
  int64_t CreateChild(int64_t parent, std::string_view name);
  bool HasChildren(int64_t key);
  void DeleteKey(int64_t key);
  // The names of the sub-keys in the order of enumeration.
  std::vector<std::string> ChildNames(int64_t key);
  std::optional<std::string> ChildAt(int64_t key, DWORD index);
  FILETIME LastWritten(int64_t key);

  std::optional<Value> GetValue(int64_t key, std::string_view name);
  void SetValue(int64_t key, std::string_view name, DWORD type, const BYTE* data, size_t size);
  bool DeleteValue(int64_t key, std::string_view name);
  // The values of a key in the order of enumeration (creation order).
  std::vector<Value> Values(int64_t key);
  std::optional<Value> ValueAt(int64_t key, DWORD index);

 private:
  void Touch(int64_t key);

  Transaction& transaction_;
};

}  // namespace twl::registry

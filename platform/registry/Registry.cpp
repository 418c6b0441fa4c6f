// The registry calls: argument checks, handle and access checks, then one
// database transaction each.
#include <algorithm>
#include <cstring>
#include <new>

#include "KeyHandles.h"
#include "platform/text/NameFold.h"
#include "RegistryStore.h"
#include "twlwin/errors.h"
#include "twlwin/registry.h"
#include "twlwin/testing.h"

namespace twl::registry {
namespace {

constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxValueNameLength = 16383;

// Splits a sub-key path at its backslashes. One trailing backslash is
// allowed; a leading one or an empty part in the middle is not.
LONG SplitPath(const char* subKey, std::vector<std::string>& parts) {
  parts.clear();
  if (!subKey || !*subKey) return ERROR_SUCCESS;
  std::string_view rest(subKey);
  if (rest.front() == '\\') return ERROR_BAD_PATHNAME;
  if (rest.back() == '\\') rest.remove_suffix(1);
  while (true) {
    size_t end = rest.find('\\');
    std::string_view part = rest.substr(0, end);
    if (part.empty()) return ERROR_BAD_PATHNAME;
    if (part.size() > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
    parts.emplace_back(part);
    if (end == std::string_view::npos) return ERROR_SUCCESS;
    rest.remove_prefix(end + 1);
  }
}

std::string_view ValueName(const char* name) { return name ? std::string_view(name) : std::string_view(); }

const std::vector<std::string>& ClassesPath() {
  static const std::vector<std::string> path{"Software", "Classes"};
  return path;
}

// A key as rows of the database for the length of one transaction. A key
// of the classes root has up to two rows: the user's, which wins, and the
// machine's.
struct Rows {
  int64_t first = 0;
  int64_t second = 0;
  bool Empty() const { return first == 0 && second == 0; }
};

Rows ClassesRows(Store& store, const std::vector<std::string>& path) {
  Rows rows;
  rows.first = store.FindPath(store.FindPath(kCurrentUserRow, ClassesPath()), path);
  rows.second = store.FindPath(store.FindPath(kLocalMachineRow, ClassesPath()), path);
  return rows;
}

Rows RowsOf(Store& store, const OpenKey& key) {
  if (key.hive == Hive::Classes) return ClassesRows(store, key.path);
  return Rows{store.KeyExists(key.row) ? key.row : 0, 0};
}

// Where changes of values go: the user's classes key when it exists.
int64_t WriteRow(const Rows& rows) { return rows.first ? rows.first : rows.second; }

std::optional<Value> FindValue(Store& store, const Rows& rows, std::string_view name) {
  for (int64_t row : {rows.first, rows.second}) {
    if (row == 0) continue;
    if (auto value = store.GetValue(row, name)) return value;
  }
  return std::nullopt;
}

std::optional<std::string> ChildAt(Store& store, const OpenKey& key, const Rows& rows, DWORD index) {
  if (key.hive != Hive::Classes || !rows.first || !rows.second) return store.ChildAt(WriteRow(rows), index);
  // The merged view: the user's names and the machine's, each once.
  std::vector<std::string> names = store.ChildNames(rows.first);
  for (auto& name : store.ChildNames(rows.second)) {
    bool shadowed = std::any_of(names.begin(), names.end(), [&](const auto& n) { return NamesEqual(n, name); });
    if (!shadowed) names.push_back(std::move(name));
  }
  std::stable_sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return FoldName(a) < FoldName(b); });
  if (index >= names.size()) return std::nullopt;
  return names[index];
}

std::optional<Value> ValueAt(Store& store, const OpenKey& key, const Rows& rows, DWORD index) {
  if (key.hive != Hive::Classes || !rows.first || !rows.second) return store.ValueAt(WriteRow(rows), index);
  std::vector<Value> values = store.Values(rows.first);
  for (auto& value : store.Values(rows.second)) {
    bool shadowed =
        std::any_of(values.begin(), values.end(), [&](const auto& v) { return NamesEqual(v.name, value.name); });
    if (!shadowed) values.push_back(std::move(value));
  }
  if (index >= values.size()) return std::nullopt;
  return values[index];
}

// The key behind a handle, checked for the rights a call needs.
LONG FindKeyWithRights(HKEY handle, REGSAM needed, OpenKey& key) {
  LONG result = FindKey(handle, key);
  if (result != ERROR_SUCCESS) return result;
  return (key.access & needed) == needed ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG HandOut(OpenKey key, PHKEY result) {
  HKEY handle = InsertKey(std::move(key));
  if (!handle) return ERROR_NOT_ENOUGH_MEMORY;
  *result = handle;
  return ERROR_SUCCESS;
}

// Copies `text` and its terminating zero into a caller's buffer of
// `*length` characters; on success `*length` is the text's length.
LONG CopyName(const std::string& text, LPSTR buffer, LPDWORD length) {
  if (text.size() >= *length) {
    *length = static_cast<DWORD>(text.size());
    return ERROR_MORE_DATA;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  *length = static_cast<DWORD>(text.size());
  return ERROR_SUCCESS;
}

LONG CopyData(const std::vector<BYTE>& data, LPBYTE buffer, LPDWORD size) {
  if (!size) return ERROR_SUCCESS;
  if (buffer && data.size() > *size) {
    *size = static_cast<DWORD>(data.size());
    return ERROR_MORE_DATA;
  }
  if (buffer && !data.empty()) std::memcpy(buffer, data.data(), data.size());
  *size = static_cast<DWORD>(data.size());
  return ERROR_SUCCESS;
}

template <class Work>
LONG Guarded(Work work) {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
}

// What opening and creating a key share: the parent key, the sub-key's
// path split into names, and the new key's hive and rights.
LONG PrepareOpen(HKEY handle, LPCSTR subKey, REGSAM access, OpenKey& parent, std::vector<std::string>& path,
                 OpenKey& opened) {
  LONG checked = FindKey(handle, parent);
  if (checked == ERROR_SUCCESS) checked = SplitPath(subKey, path);
  if (checked != ERROR_SUCCESS) return checked;
  opened.hive = parent.hive;
  opened.access = RequestedRights(access);
  return ERROR_SUCCESS;
}

}  // namespace
}  // namespace twl::registry

using namespace twl::registry;

TWLAPI LONG RegOpenKeyExA(HKEY handle, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  return Guarded([&]() -> LONG {
    OpenKey parent;
    std::vector<std::string> path;
    OpenKey opened;
    LONG checked = PrepareOpen(handle, subKey, access, parent, path, opened);
    if (checked != ERROR_SUCCESS) return checked;
    LONG found = RunTransaction(Access::Read, [&](Transaction& transaction) -> LONG {
      Store store(transaction);
      Rows rows = RowsOf(store, parent);
      if (rows.Empty()) return ERROR_KEY_DELETED;
      if (parent.hive == Hive::Classes) {
        opened.path = parent.path;
        opened.path.insert(opened.path.end(), path.begin(), path.end());
        return ClassesRows(store, opened.path).Empty() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
      }
      opened.row = store.FindPath(rows.first, path);
      return opened.row ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
    return found == ERROR_SUCCESS ? HandOut(std::move(opened), result) : found;
  });
}

TWLAPI LONG RegCreateKeyExA(HKEY handle, LPCSTR subKey, DWORD, LPSTR, DWORD options, REGSAM access,
                            LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
  if (!result || !subKey) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  if (options & REG_OPTION_VOLATILE) return ERROR_NOT_SUPPORTED;
  if (options != REG_OPTION_NON_VOLATILE) return ERROR_INVALID_PARAMETER;
  return Guarded([&]() -> LONG {
    OpenKey parent;
    std::vector<std::string> path;
    OpenKey opened;
    LONG checked = PrepareOpen(handle, subKey, access, parent, path, opened);
    if (checked != ERROR_SUCCESS) return checked;
    bool created = false;
    LONG done = RunTransaction(Access::Write, [&](Transaction& transaction) -> LONG {
      Store store(transaction);
      Rows rows = RowsOf(store, parent);
      if (rows.Empty()) return ERROR_KEY_DELETED;
      int64_t row = rows.first;
      if (parent.hive == Hive::Classes) {
        opened.path = parent.path;
        opened.path.insert(opened.path.end(), path.begin(), path.end());
        if (!ClassesRows(store, opened.path).Empty()) return ERROR_SUCCESS;
        // New keys below the classes root belong to the machine.
        row = store.FindPath(kLocalMachineRow, ClassesPath());
        path = opened.path;
        if (!row) return ERROR_KEY_DELETED;
      }
      for (const auto& name : path) {
        int64_t child = store.FindChild(row, name);
        if (!child) {
          if (!(parent.access & KEY_CREATE_SUB_KEY) && !created) return ERROR_ACCESS_DENIED;
          child = store.CreateChild(row, name);
          created = true;
        }
        row = child;
      }
      opened.row = row;
      return ERROR_SUCCESS;
    });
    if (done != ERROR_SUCCESS) return done;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return HandOut(std::move(opened), result);
  });
}

TWLAPI LONG RegCloseKey(HKEY handle) { return CloseKey(handle); }

TWLAPI LONG RegDeleteKeyA(HKEY handle, LPCSTR subKey) {
  if (!subKey) return ERROR_INVALID_PARAMETER;
  return Guarded([&]() -> LONG {
    OpenKey parent;
    std::vector<std::string> path;
    LONG checked = FindKey(handle, parent);
    if (checked == ERROR_SUCCESS) checked = SplitPath(subKey, path);
    if (checked != ERROR_SUCCESS) return checked;
    if (path.empty() && parent.predefined) return ERROR_ACCESS_DENIED;
    return RunTransaction(Access::Write, [&](Transaction& transaction) -> LONG {
      Store store(transaction);
      Rows rows = RowsOf(store, parent);
      if (rows.Empty()) return ERROR_KEY_DELETED;
      int64_t target = 0;
      if (parent.hive == Hive::Classes) {
        auto full = parent.path;
        full.insert(full.end(), path.begin(), path.end());
        Rows found = ClassesRows(store, full);
        target = found.first ? found.first : found.second;
      } else {
        target = store.FindPath(rows.first, path);
      }
      if (!target) return ERROR_FILE_NOT_FOUND;
      if (store.HasChildren(target)) return ERROR_ACCESS_DENIED;
      store.DeleteKey(target);
      return ERROR_SUCCESS;
    });
  });
}

namespace {

// A query of this thread that a test made fail (TwlTestFailRegistryQuery):
// the one after `skip` more, with `result`; none while skip is negative.
struct QueryFault {
  long skip = -1;
  LONG result = ERROR_SUCCESS;
};
thread_local QueryFault queryFault;

bool TakeQueryFault(LONG& result) {
  if (queryFault.skip < 0) return false;
  if (queryFault.skip-- > 0) return false;
  result = queryFault.result;
  return true;
}

}  // namespace

TWLAPI void TwlTestFailRegistryQuery(DWORD skip, LONG result) {
  queryFault.skip = static_cast<long>(skip);
  queryFault.result = result;
}

TWLAPI LONG RegQueryValueExA(HKEY handle, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                             LPDWORD dataSize) {
  if (LONG failed = ERROR_SUCCESS; TakeQueryFault(failed)) return failed;
  if (reserved || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
  return Guarded([&]() -> LONG {
    OpenKey key;
    LONG checked = FindKeyWithRights(handle, KEY_QUERY_VALUE, key);
    if (checked != ERROR_SUCCESS) return checked;
    std::optional<Value> value;
    LONG found = RunTransaction(Access::Read, [&](Transaction& transaction) -> LONG {
      Store store(transaction);
      Rows rows = RowsOf(store, key);
      if (rows.Empty()) return ERROR_KEY_DELETED;
      value = FindValue(store, rows, ValueName(valueName));
      return value ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
    if (found != ERROR_SUCCESS) return found;
    if (type) *type = value->type;
    return CopyData(value->data, data, dataSize);
  });
}

TWLAPI LONG RegSetValueExA(HKEY handle, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
  if (!data && dataSize) return ERROR_INVALID_PARAMETER;
  std::string_view name = ValueName(valueName);
  if (name.size() > kMaxValueNameLength) return ERROR_INVALID_PARAMETER;
  return Guarded([&]() -> LONG {
    OpenKey key;
    LONG checked = FindKeyWithRights(handle, KEY_SET_VALUE, key);
    if (checked != ERROR_SUCCESS) return checked;
    return RunTransaction(Access::Write, [&](Transaction& transaction) -> LONG {
      Store store(transaction);
      Rows rows = RowsOf(store, key);
      if (rows.Empty()) return ERROR_KEY_DELETED;
      store.SetValue(WriteRow(rows), name, type, data, dataSize);
      return ERROR_SUCCESS;
    });
  });
}

TWLAPI LONG RegDeleteValueA(HKEY handle, LPCSTR valueName) {
  return Guarded([&]() -> LONG {
    OpenKey key;
    LONG checked = FindKeyWithRights(handle, KEY_SET_VALUE, key);
    if (checked != ERROR_SUCCESS) return checked;
    return RunTransaction(Access::Write, [&](Transaction& transaction) -> LONG {
      Store store(transaction);
      Rows rows = RowsOf(store, key);
      if (rows.Empty()) return ERROR_KEY_DELETED;
      for (int64_t row : {rows.first, rows.second}) {
        if (row && store.DeleteValue(row, ValueName(valueName))) return ERROR_SUCCESS;
      }
      return ERROR_FILE_NOT_FOUND;
    });
  });
}

TWLAPI LONG RegEnumKeyExA(HKEY handle, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD reserved, LPSTR keyClass,
                          LPDWORD classLength, PFILETIME lastWriteTime) {
  if (!name || !nameLength || reserved || (keyClass && !classLength)) return ERROR_INVALID_PARAMETER;
  return Guarded([&]() -> LONG {
    OpenKey key;
    LONG checked = FindKeyWithRights(handle, KEY_ENUMERATE_SUB_KEYS, key);
    if (checked != ERROR_SUCCESS) return checked;
    std::optional<std::string> child;
    FILETIME written{};
    LONG found = RunTransaction(Access::Read, [&](Transaction& transaction) -> LONG {
      Store store(transaction);
      Rows rows = RowsOf(store, key);
      if (rows.Empty()) return ERROR_KEY_DELETED;
      child = ChildAt(store, key, rows, index);
      if (!child) return ERROR_NO_MORE_ITEMS;
      if (lastWriteTime) {
        int64_t row = key.hive == Hive::Classes ? 0 : store.FindChild(rows.first, *child);
        if (!row) {
          auto path = key.path;
          path.push_back(*child);
          Rows childRows = ClassesRows(store, path);
          row = WriteRow(childRows);
        }
        written = store.LastWritten(row);
      }
      return ERROR_SUCCESS;
    });
    if (found != ERROR_SUCCESS) return found;
    LONG copied = CopyName(*child, name, nameLength);
    if (copied != ERROR_SUCCESS) return copied;
    if (keyClass) {
      if (*classLength == 0) return ERROR_MORE_DATA;
      keyClass[0] = '\0';
    }
    if (classLength) *classLength = 0;
    if (lastWriteTime) *lastWriteTime = written;
    return ERROR_SUCCESS;
  });
}

TWLAPI LONG RegEnumValueA(HKEY handle, DWORD index, LPSTR valueName, LPDWORD valueNameLength, LPDWORD reserved,
                          LPDWORD type, LPBYTE data, LPDWORD dataSize) {
  if (!valueName || !valueNameLength || reserved || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
  return Guarded([&]() -> LONG {
    OpenKey key;
    LONG checked = FindKeyWithRights(handle, KEY_QUERY_VALUE, key);
    if (checked != ERROR_SUCCESS) return checked;
    std::optional<Value> value;
    LONG found = RunTransaction(Access::Read, [&](Transaction& transaction) -> LONG {
      Store store(transaction);
      Rows rows = RowsOf(store, key);
      if (rows.Empty()) return ERROR_KEY_DELETED;
      value = ValueAt(store, key, rows, index);
      return value ? ERROR_SUCCESS : ERROR_NO_MORE_ITEMS;
    });
    if (found != ERROR_SUCCESS) return found;
    LONG copied = CopyName(value->name, valueName, valueNameLength);
    if (copied != ERROR_SUCCESS) return copied;
    if (type) *type = value->type;
    return CopyData(value->data, data, dataSize);
  });
}

#include "RegistryDatabase.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <new>
#include <unordered_map>

#include "twlwin/errors.h"

namespace twl::registry {
namespace {

// Long enough that a writer never gives up while other processes write
// their own small transactions.
constexpr int kBusyTimeoutMs = 60000;
constexpr int64_t kSchemaVersion = 1;

const char* const kSchema[] = {
    "CREATE TABLE reg_keys("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " parent INTEGER NOT NULL,"
    " name TEXT NOT NULL,"
    " folded TEXT NOT NULL,"
    " written INTEGER NOT NULL DEFAULT 0,"
    " UNIQUE(parent, folded))",
    "CREATE TABLE reg_values("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " key INTEGER NOT NULL,"
    " name TEXT NOT NULL,"
    " folded TEXT NOT NULL,"
    " type INTEGER NOT NULL,"
    " data BLOB NOT NULL,"
    " UNIQUE(key, folded))",
    // For people looking at the database: every value with its key's path.
    "CREATE VIEW registry AS"
    " WITH RECURSIVE paths(id, path) AS ("
    "  SELECT id, name FROM reg_keys WHERE parent = 0"
    "  UNION ALL SELECT k.id, p.path || '\\' || k.name FROM reg_keys k JOIN paths p ON k.parent = p.id)"
    " SELECT p.path AS path, v.name AS name, v.type AS type, v.data AS data"
    " FROM reg_values v JOIN paths p ON v.key = p.id",
    "INSERT INTO reg_keys(id, parent, name, folded) VALUES"
    " (1, 0, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER'), (2, 0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE')",
    // The two halves of the classes root exist from the start.
    "INSERT INTO reg_keys(id, parent, name, folded) VALUES"
    " (3, 1, 'Software', 'SOFTWARE'), (4, 3, 'Classes', 'CLASSES'),"
    " (5, 2, 'Software', 'SOFTWARE'), (6, 5, 'Classes', 'CLASSES')",
    "PRAGMA user_version = 1",
};

LONG Win32Code(int sqliteCode, Access access) {
  switch (sqliteCode & 0xFF) {
    case SQLITE_OK: return ERROR_SUCCESS;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return ERROR_BUSY;
    case SQLITE_NOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case SQLITE_FULL: return ERROR_DISK_FULL;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return ERROR_ACCESS_DENIED;
    case SQLITE_CANTOPEN: return ERROR_CANTOPEN;
    case SQLITE_TOOBIG: return ERROR_INVALID_PARAMETER;
    // A file that is not our database, a damaged one, or one whose tables
    // are not what this code expects.
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_ERROR:
    case SQLITE_SCHEMA:
    case SQLITE_MISMATCH: return ERROR_BADDB;
    default: return access == Access::Write ? ERROR_CANTWRITE : ERROR_CANTREAD;
  }
}

struct Connection {
  sqlite3* db = nullptr;
  pid_t owner = 0;
  struct Cached {
    sqlite3_stmt* statement = nullptr;
    bool inUse = false;
  };
  std::unordered_map<const char*, Cached> statements;
  Access access = Access::Read;
};

std::mutex& ConnectionLock() {
  static auto* lock = new std::mutex;
  return *lock;
}

// Never destroyed: registry calls may come from destructors of other
// globals at exit.
Connection& TheConnection() {
  static auto* connection = new Connection;
  return *connection;
}

bool MakeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    std::string folder = path.substr(0, slash);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

int Execute(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

int64_t SchemaVersion(sqlite3* db, int& rc) {
  sqlite3_stmt* statement = nullptr;
  rc = sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr);
  if (rc != SQLITE_OK) return -1;
  rc = sqlite3_step(statement);
  int64_t version = rc == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
  rc = rc == SQLITE_ROW ? SQLITE_OK : rc;
  sqlite3_finalize(statement);
  return version;
}

// Creates the tables of a new database; accepts an existing one of our
// version and refuses anything else without touching it.
LONG EnsureSchema(sqlite3* db) {
  int rc = SQLITE_OK;
  if (SchemaVersion(db, rc) == kSchemaVersion) return ERROR_SUCCESS;
  if (rc != SQLITE_OK) return Win32Code(rc, Access::Read);
  rc = Execute(db, "BEGIN IMMEDIATE");
  if (rc != SQLITE_OK) return Win32Code(rc, Access::Write);
  int64_t version = SchemaVersion(db, rc);  // another process may have won the race
  if (rc == SQLITE_OK && version == 0) {
    for (const char* sql : kSchema) {
      rc = Execute(db, sql);
      if (rc != SQLITE_OK) break;
    }
    if (rc == SQLITE_OK) rc = Execute(db, "COMMIT");
  }
  if (rc != SQLITE_OK || version != 0) Execute(db, "ROLLBACK");
  if (rc != SQLITE_OK) return Win32Code(rc, Access::Write);
  return version == 0 || version == kSchemaVersion ? ERROR_SUCCESS : ERROR_BADDB;
}

LONG Open(Connection& connection) {
  std::string path = DatabasePath();
  if (path.empty() || !MakeFolders(path)) return ERROR_CANTOPEN;
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                           nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close(db);
    return ERROR_CANTOPEN;
  }
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  rc = Execute(db, "PRAGMA journal_mode = WAL");
  // In WAL mode a commit survives the death of the process that made it;
  // only a power loss may undo the last few.
  if (rc == SQLITE_OK) rc = Execute(db, "PRAGMA synchronous = NORMAL");
  LONG result = rc == SQLITE_OK ? EnsureSchema(db) : Win32Code(rc, Access::Write);
  if (result != ERROR_SUCCESS) {
    sqlite3_close(db);
    return result;
  }
  connection.db = db;
  connection.owner = getpid();
  connection.statements.clear();
  return ERROR_SUCCESS;
}

LONG Connect(Connection& connection) {
  // A child made by fork must not use its parent's connection: it opens
  // its own and leaves the inherited one alone.
  if (connection.db && connection.owner == getpid()) return ERROR_SUCCESS;
  connection.db = nullptr;
  return Open(connection);
}

}  // namespace

Statement::~Statement() {
  if (!inUse_) {
    sqlite3_finalize(statement_);
    return;
  }
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
  *inUse_ = false;
}

static void Check(int rc) {
  if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE) throw DatabaseError{Win32Code(rc, TheConnection().access)};
}

Statement& Statement::Bind(int index, int64_t value) {
  Check(sqlite3_bind_int64(statement_, index, value));
  return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
  // An empty view may have no data pointer; SQLite would store NULL for it.
  const char* data = text.data() ? text.data() : "";
  Check(sqlite3_bind_text64(statement_, index, data, text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
  return *this;
}

Statement& Statement::BindBlob(int index, const void* data, size_t size) {
  Check(size == 0 ? sqlite3_bind_zeroblob(statement_, index, 0)
                  : sqlite3_bind_blob64(statement_, index, data, size, SQLITE_TRANSIENT));
  return *this;
}

bool Statement::Step() {
  int rc = sqlite3_step(statement_);
  Check(rc);
  return rc == SQLITE_ROW;
}

void Statement::Run() {
  while (Step()) {
  }
}

int64_t Statement::Int(int column) const { return sqlite3_column_int64(statement_, column); }

std::string Statement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
  return text ? std::string(text, sqlite3_column_bytes(statement_, column)) : std::string();
}

std::vector<BYTE> Statement::Blob(int column) const {
  const auto* data = static_cast<const BYTE*>(sqlite3_column_blob(statement_, column));
  int size = sqlite3_column_bytes(statement_, column);
  return data ? std::vector<BYTE>(data, data + size) : std::vector<BYTE>();
}

Statement Transaction::Prepare(const char* sql) {
  auto& cached = TheConnection().statements[sql];
  if (cached.statement && !cached.inUse) {
    cached.inUse = true;
    return Statement(cached.statement, &cached.inUse);
  }
  // The cached one is busy (a statement used while another runs): this one
  // is prepared for the occasion and finalized after it.
  sqlite3_stmt* statement = nullptr;
  Check(sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr));
  if (cached.statement) return Statement(statement, nullptr);
  cached.statement = statement;
  cached.inUse = true;
  return Statement(statement, &cached.inUse);
}

LONG RunTransaction(Access access, const std::function<LONG(Transaction&)>& work) {
  std::lock_guard lock(ConnectionLock());
  auto& connection = TheConnection();
  try {
    LONG opened = Connect(connection);
    if (opened != ERROR_SUCCESS) return opened;
    connection.access = access;
    sqlite3* db = connection.db;
    int rc = Execute(db, access == Access::Write ? "BEGIN IMMEDIATE" : "BEGIN");
    if (rc != SQLITE_OK) return Win32Code(rc, access);
    LONG result = ERROR_SUCCESS;
    try {
      Transaction transaction(db);
      result = work(transaction);
    } catch (...) {
      Execute(db, "ROLLBACK");
      throw;
    }
    if (result != ERROR_SUCCESS || access == Access::Read) {
      Execute(db, "ROLLBACK");
      return result;
    }
    rc = Execute(db, "COMMIT");
    if (rc != SQLITE_OK) {
      Execute(db, "ROLLBACK");
      return Win32Code(rc, access);
    }
    return ERROR_SUCCESS;
  } catch (const DatabaseError& error) {
    return error.code;
  } catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
}

std::string DatabasePath() {
  const char* explicitPath = std::getenv("TWL_REGISTRY");
  if (explicitPath && *explicitPath) return explicitPath;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return std::string(config) + "/velbrook/registry.sqlite";
  std::string home;
  if (const char* fromEnvironment = std::getenv("HOME"); fromEnvironment && *fromEnvironment) {
    home = fromEnvironment;
  } else {
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) != 0 || !found) return {};
    home = found->pw_dir;
  }
  return home + "/.config/velbrook/registry.sqlite";
}

}  // namespace twl::registry

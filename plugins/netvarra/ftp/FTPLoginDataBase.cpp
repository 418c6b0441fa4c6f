#include "plugins/netvarra/ftp/FTPLoginDataBase.h"

#include <cstdint>
#include <functional>
#include <memory>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"
#include "foundation/streams/StreamFlags.h"
#include "plugins/netvarra/ftp/PasswordScramble.h"

TWL_IMPLEMENT_CLASS(CFTPLoginDataBase, CTypedObject)

namespace {

std::string LowerCase(const char* text) {
  std::string lower(text ? text : "");
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

[[noreturn]] void ThrowCorruptDataBase() {
  ThrowError<CError>(LocalText("FTPError", "FTP error"),
                     LocalText("FTPError.PasswordDatabaseCorrupt", "The FTP password database seems to be corrupted"));
}

void WriteU32(CStream& stream, uint32_t value) {
  const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                         static_cast<BYTE>(value >> 24)};
  stream.Write(bytes, 4);
}

void WriteString(CStream& stream, const char* data, size_t length) {
  WriteU32(stream, static_cast<uint32_t>(length));
  if (length) stream.Write(data, static_cast<DWORD>(length));
}

void ReadExactBytes(CStream& stream, void* buffer, DWORD size) {
  if (size && stream.Read(buffer, size) != size) ThrowError<CStreamError>(CStreamError::kEndOfStream, stream);
}

uint32_t ReadU32(CStream& stream) {
  BYTE bytes[4];
  ReadExactBytes(stream, bytes, 4);
  return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

// How many bytes the stream still holds; a stream that cannot tell gives
// UINT64_MAX, and the short read is noticed when it happens.
uint64_t BytesLeftIn(CStream& stream) {
  const LONGLONG length = stream.GetLength(true, nullptr);
  const LONGLONG position = stream.GetPosition();
  if (length < 0 || position < 0) return UINT64_MAX;
  return length > position ? static_cast<uint64_t>(length - position) : 0;
}

// One string of a record: its length field and bytes come out of the
// record's budget, and its length is checked against what the stream
// still holds before anything is allocated.
std::string ReadRecordString(CStream& stream, uint32_t& budget) {
  if (budget < 4) ThrowCorruptDataBase();
  const uint32_t length = ReadU32(stream);
  budget -= 4;
  if (length > budget) ThrowCorruptDataBase();
  if (length > BytesLeftIn(stream)) ThrowError<CStreamError>(CStreamError::kEndOfStream, stream);
  std::string text(length, '\0');
  ReadExactBytes(stream, text.data(), length);
  budget -= length;
  return text;
}

CStr ToCStr(const std::string& text) { return CStr(text.data(), text.size()); }

// Node, then left subtree, then right subtree: the order records are saved in.
void WalkPreOrder(const CStringTreeNode* node, const std::function<void(CFTPLogin&)>& visit) {
  if (!node) return;
  if (node->value) visit(*static_cast<CFTPLogin*>(node->value));
  WalkPreOrder(node->left, visit);
  WalkPreOrder(node->right, visit);
}

void DeleteLogins(const CStringTreeNode* node) {
  if (!node) return;
  delete static_cast<CFTPLogin*>(node->value);
  DeleteLogins(node->left);
  DeleteLogins(node->right);
}

}  // namespace

CFTPLoginDataBase::~CFTPLoginDataBase() { Clear(); }

void CFTPLoginDataBase::ForgetFromHost(CFTPLogin* login) {
  const auto list = m_ByHost.find(LowerCase(login->host));
  if (list == m_ByHost.end()) return;
  std::erase(list->second, login);
  if (list->second.empty()) m_ByHost.erase(list);
}

void CFTPLoginDataBase::Add(const CFTPLogin& login) {
  CriticalSectionLock lock(m_Lock);
  auto copy = std::make_unique<CFTPLogin>(login);
  const std::string key = LowerCase(copy->GetKey());
  CStringTreeNode* node = CStringTreeNode::FindNode(m_ByKey.GetRoot(), key.c_str());
  if (node && node->value) {
    auto* old = static_cast<CFTPLogin*>(node->value);
    ForgetFromHost(old);
    delete old;
    node->value = nullptr;
  }
  std::vector<CFTPLogin*>& hostList = m_ByHost[LowerCase(copy->host)];
  hostList.push_back(copy.get());
  if (node) {
    node->value = copy.release();
  } else {
    try {
      CStringTreeNode::Insert(&m_ByKey, key.c_str(), copy.get());
    } catch (...) {
      ForgetFromHost(copy.get());
      throw;
    }
    copy.release();
  }
}

void CFTPLoginDataBase::Remove(const char* key) {
  CriticalSectionLock lock(m_Lock);
  CStringTreeNode* node = CStringTreeNode::FindNode(m_ByKey.GetRoot(), LowerCase(key).c_str());
  if (!node || !node->value) return;
  auto* login = static_cast<CFTPLogin*>(node->value);
  node->value = nullptr;
  ForgetFromHost(login);
  delete login;
}

bool CFTPLoginDataBase::Get(const char* key, CFTPLogin& login) {
  CriticalSectionLock lock(m_Lock);
  const CStringTreeNode* node = CStringTreeNode::FindNode(m_ByKey.GetRoot(), LowerCase(key).c_str());
  if (!node || !node->value) return false;
  login.CopyFrom(*static_cast<const CFTPLogin*>(node->value));
  return true;
}

bool CFTPLoginDataBase::Exists(const char* key) {
  CriticalSectionLock lock(m_Lock);
  const CStringTreeNode* node = CStringTreeNode::FindNode(m_ByKey.GetRoot(), LowerCase(key).c_str());
  return node && node->value;
}

bool CFTPLoginDataBase::Lookup(const char* text, CFTPLogin& login) {
  CriticalSectionLock lock(m_Lock);
  if (Get(text, login)) return true;
  const auto list = m_ByHost.find(LowerCase(text));
  if (list == m_ByHost.end() || list->second.empty()) return false;
  const CFTPLogin* chosen = list->second.front();
  for (const CFTPLogin* candidate : list->second) {
    if (candidate->user.IsEmpty()) {
      chosen = candidate;
      break;
    }
  }
  login.CopyFrom(*chosen);
  return true;
}

void CFTPLoginDataBase::Clear() {
  CriticalSectionLock lock(m_Lock);
  DeleteLogins(m_ByKey.GetRoot());
  delete m_ByKey.right;
  m_ByKey.right = nullptr;
  m_ByHost.clear();
}

DWORD CFTPLoginDataBase::Load(CStream& stream) {
  CriticalSectionLock lock(m_Lock);
  Clear();
  const uint32_t payload = ReadU32(stream);
  try {
    LoadRecords(stream, payload);
  } catch (...) {
    Clear();
    throw;
  }
  return static_cast<DWORD>(payload) + 4;
}

void CFTPLoginDataBase::LoadRecords(CStream& stream, DWORD payload) {
  uint32_t remaining = payload;
  while (remaining != 0) {
    if (remaining < 4) ThrowCorruptDataBase();
    uint32_t budget = ReadU32(stream);
    remaining -= 4;
    if (remaining < budget) ThrowCorruptDataBase();
    remaining -= budget;
    CFTPLogin login;
    login.name = ToCStr(ReadRecordString(stream, budget));
    login.host = ToCStr(ReadRecordString(stream, budget));
    login.alias = ToCStr(ReadRecordString(stream, budget));
    login.user = ToCStr(ReadRecordString(stream, budget));
    login.password = ToCStr(UnscramblePassword(ReadRecordString(stream, budget)));
    Add(login);
    if (budget && stream.Skip(budget) != budget) ThrowError<CStreamError>(CStreamError::kEndOfStream, stream);
  }
}

void CFTPLoginDataBase::Save(CStream& stream) {
  CriticalSectionLock lock(m_Lock);
  const LONGLONG start = stream.GetPosition();
  WriteU32(stream, 0);
  WalkPreOrder(m_ByKey.GetRoot(), [&stream](CFTPLogin& login) {
    const LONGLONG recordStart = stream.GetPosition();
    WriteU32(stream, 0);
    for (const CStr* field : {&login.name, &login.host, &login.alias, &login.user})
      WriteString(stream, field->c_str(), field->GetLength());
    const std::string scrambled =
        ScramblePassword(std::string(login.password.c_str(), login.password.GetLength()));
    WriteString(stream, scrambled.data(), scrambled.size());
    const LONGLONG recordEnd = stream.GetPosition();
    stream.Seek(recordStart, kSeekFromStart, nullptr);
    WriteU32(stream, static_cast<uint32_t>(recordEnd - recordStart - 4));
    stream.Seek(recordEnd, kSeekFromStart, nullptr);
  });
  const LONGLONG end = stream.GetPosition();
  stream.Seek(start, kSeekFromStart, nullptr);
  WriteU32(stream, static_cast<uint32_t>(end - start - 4));
  stream.Seek(end, kSeekFromStart, nullptr);
}

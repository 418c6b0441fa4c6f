// The block FIFO under the sockets: order across blocks, spans, and blocks
// used again instead of new ones.
#include <gtest/gtest.h>

#include <string>

#include "plugins/netvarra/sockets/FifoBuffer.h"

namespace {

void Put(CFifoBuffer& fifo, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    BYTE* span;
    DWORD length;
    fifo.GetWriteSpan(&span, &length);
    const DWORD take = static_cast<DWORD>(std::min<size_t>(length, bytes.size() - done));
    std::memcpy(span, bytes.data() + done, take);
    fifo.Commit(take);
    done += take;
  }
}

std::string Take(CFifoBuffer& fifo, DWORD count) {
  std::string out(count, '\0');
  out.resize(fifo.Read(out.data(), count));
  return out;
}

std::string Pattern(size_t count, int seed) {
  std::string bytes(count, '\0');
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>((i * 7 + seed) % 251);
  return bytes;
}

TEST(FifoBuffer, BytesComeBackInOrderAcrossBlocks) {
  CFifoBuffer fifo;
  fifo.SetBlockSize(16);
  const std::string bytes = Pattern(100, 1);
  Put(fifo, bytes);
  std::string peeked(100, '\0');
  EXPECT_EQ(100u, fifo.Peek(peeked.data(), 200));
  EXPECT_EQ(bytes, peeked) << "a peek leaves everything";
  EXPECT_EQ(bytes.substr(0, 5), Take(fifo, 5));
  EXPECT_EQ(30u, fifo.Skip(30));
  EXPECT_EQ(bytes.substr(35), Take(fifo, 1000));
  BYTE* span;
  DWORD length;
  EXPECT_FALSE(fifo.GetReadSpan(&span, &length)) << "nothing unread";
}

TEST(FifoBuffer, ReadBlocksAreUsedAgainInRingOrder) {
  CFifoBuffer fifo;
  fifo.SetBlockSize(16);
  Put(fifo, Pattern(40, 2));  // three blocks, the last half full
  EXPECT_EQ(3u, fifo.GetBlocksInUse());
  EXPECT_EQ(3u, fifo.GetBlocksAllocated());
  EXPECT_EQ(32u, fifo.Skip(32));
  EXPECT_EQ(1u, fifo.GetBlocksInUse());
  // Two free blocks join the ring again before any new one is made; then
  // a new block goes where the wrapped ring ends.
  const std::string more = Pattern(70, 3);
  Put(fifo, more);
  EXPECT_EQ(5u, fifo.GetBlocksAllocated());
  EXPECT_EQ(Pattern(40, 2).substr(32) + more, Take(fifo, 1000));
}

TEST(FifoBuffer, BlockSpansShowTheFreeBytesOfTheLastBlock) {
  CFifoBuffer fifo;
  fifo.SetBlockSize(8);
  Put(fifo, "abcdefghij");
  fifo.Skip(3);
  BYTE* data;
  DWORD length, free;
  ASSERT_TRUE(fifo.GetBlockSpan(0, &data, &length, &free));
  EXPECT_EQ("defgh", std::string(reinterpret_cast<char*>(data), length));
  EXPECT_EQ(0u, free);
  ASSERT_TRUE(fifo.GetBlockSpan(1, &data, &length, &free));
  EXPECT_EQ("ij", std::string(reinterpret_cast<char*>(data), length));
  EXPECT_EQ(6u, free);
  EXPECT_FALSE(fifo.GetBlockSpan(2, &data, &length, &free));
  fifo.Clear();
  EXPECT_EQ(0u, fifo.GetBlocksAllocated());
}

}  // namespace

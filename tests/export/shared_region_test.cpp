// The shared region of an export: room reserved ahead takes no memory until the program maps or
// writes a stretch, the host's view of the same descriptor reads what the program wrote, growing
// keeps what is there, and discarding gives every page back.
#include "host/shared_region.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

namespace glyphmill {
namespace {

// How many of the memory pages of [offset, offset + bytes) the region's file holds.
std::size_t ResidentPages(const SharedRegion& region, std::size_t offset, std::size_t bytes) {
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  std::vector<unsigned char> flags((bytes + page - 1) / page);
  EXPECT_EQ(::mincore(region.data() + offset, bytes, flags.data()), 0) << std::strerror(errno);
  std::size_t resident = 0;
  for (unsigned char f : flags) resident += f & 1;
  return resident;
}

TEST(SharedRegion, ReservedRoomTakesNoMemoryUntilAStretchIsMappedOrWritten) {
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  SharedRegion program;
  std::string error;
  ASSERT_TRUE(program.create(&error)) << error;
  ASSERT_TRUE(program.reserve(8 * kMiB));
  ASSERT_GE(program.size(), 8 * kMiB);
  EXPECT_EQ(ResidentPages(program, 0, program.size()), 0u);

  // A stretch that starts and ends inside pages: exactly the pages it touches.
  program.prefault(kMiB + 100, 3 * page);
  EXPECT_EQ(ResidentPages(program, kMiB, 4 * page), 4u);
  EXPECT_EQ(ResidentPages(program, 0, kMiB), 0u);
  EXPECT_EQ(ResidentPages(program, kMiB + 4 * page, program.size() - kMiB - 4 * page), 0u);
  // Outside the region: nothing happens.
  program.prefault(program.size(), kMiB);
  program.prefault(program.size() - page, 64 * kMiB);
  EXPECT_EQ(ResidentPages(program, program.size() - page, page), 1u);

  std::memset(program.data() + 5 * kMiB, 0x5A, 2 * page);

  // The host maps the same descriptor: it reads what the program wrote, and mapping the whole
  // region takes nothing more.
  SharedRegion host(::dup(program.fd()));
  ASSERT_TRUE(host.mapAtLeast(program.size()));
  EXPECT_EQ(host.data()[5 * kMiB + 2 * page - 1], 0x5A);
  EXPECT_EQ(ResidentPages(host, 0, host.size()), 4u + 1u + 2u);

  // Growing keeps the bytes and takes no memory for the new room either.
  const std::size_t before = program.size();
  ASSERT_TRUE(program.reserve(before + 16 * kMiB));
  EXPECT_EQ(program.data()[5 * kMiB], 0x5A);
  EXPECT_EQ(ResidentPages(program, before, program.size() - before), 0u);

  // Once a run is over its memory goes back, for both sides, and the region keeps its size.
  const std::size_t size = program.size();
  program.discard();
  EXPECT_EQ(program.size(), size);
  EXPECT_EQ(ResidentPages(program, 0, size), 0u);
  EXPECT_EQ(host.data()[5 * kMiB], 0);
  program.data()[5 * kMiB] = 7;  // and it takes writing again
  EXPECT_EQ(host.data()[5 * kMiB], 7);
}

}  // namespace
}  // namespace glyphmill

// Best-fit allocator over a fixed address range. Its bookkeeping lives on the
// host heap, outside the range, so 68K code that overruns a block cannot
// corrupt it. Not thread-safe: the arena serialises calls.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <unordered_map>

class RangeAllocator {
 public:
  enum class Carve { FromLow, FromHigh };

  RangeAllocator(std::uint32_t lo, std::uint32_t hi, std::uint32_t granule, Carve carve);

  // Start address of a new block of at least size bytes (rounded to the granule),
  // or 0 when the range has no free run that large.
  std::uint32_t allocate(std::uint32_t size);
  // Releases the block starting at addr; returns its size, 0 when addr is not the
  // start of a live block.
  std::uint32_t release(std::uint32_t addr);
  // Size of the live block starting at addr, 0 when there is none.
  std::uint32_t blockSize(std::uint32_t addr) const;
  // The live block containing addr: its start, or 0.
  std::uint32_t blockContaining(std::uint32_t addr) const;

  std::uint32_t freeBytes() const { return freeTotal_; }
  std::uint32_t largestFree() const;
  std::uint32_t granule() const { return granule_; }

 private:
  void addFree(std::uint32_t addr, std::uint32_t size);
  void removeFree(std::map<std::uint32_t, std::uint32_t>::iterator it);

  std::uint32_t granule_;
  Carve carve_;
  std::map<std::uint32_t, std::uint32_t> freeByAddr_;
  std::set<std::pair<std::uint32_t, std::uint32_t>> freeBySize_;
  std::map<std::uint32_t, std::uint32_t> used_;
  std::uint32_t freeTotal_ = 0;
};

#include "host/arena/RangeAllocator.h"

RangeAllocator::RangeAllocator(std::uint32_t lo, std::uint32_t hi, std::uint32_t granule, Carve carve)
    : granule_(granule), carve_(carve) {
  addFree(lo, hi - lo);
}

void RangeAllocator::addFree(std::uint32_t addr, std::uint32_t size) {
  freeByAddr_.emplace(addr, size);
  freeBySize_.emplace(size, addr);
  freeTotal_ += size;
}

void RangeAllocator::removeFree(std::map<std::uint32_t, std::uint32_t>::iterator it) {
  freeBySize_.erase({it->second, it->first});
  freeTotal_ -= it->second;
  freeByAddr_.erase(it);
}

std::uint32_t RangeAllocator::allocate(std::uint32_t size) {
  if (size == 0) size = 1;
  std::uint64_t rounded = (std::uint64_t(size) + granule_ - 1) / granule_ * granule_;
  if (rounded > 0xFFFFFFFFu) return 0;
  auto fit = freeBySize_.lower_bound({static_cast<std::uint32_t>(rounded), 0});
  if (fit == freeBySize_.end()) return 0;
  std::uint32_t need = static_cast<std::uint32_t>(rounded);
  std::uint32_t runAddr = fit->second;
  std::uint32_t runSize = fit->first;
  removeFree(freeByAddr_.find(runAddr));
  std::uint32_t block = runAddr;
  if (runSize > need) {
    if (carve_ == Carve::FromLow) {
      addFree(runAddr + need, runSize - need);
    } else {
      block = runAddr + runSize - need;
      addFree(runAddr, runSize - need);
    }
  }
  used_.emplace(block, need);
  return block;
}

std::uint32_t RangeAllocator::release(std::uint32_t addr) {
  auto it = used_.find(addr);
  if (it == used_.end()) return 0;
  std::uint32_t size = it->second;
  used_.erase(it);
  std::uint32_t start = addr;
  std::uint32_t length = size;
  auto next = freeByAddr_.lower_bound(addr);
  if (next != freeByAddr_.begin()) {
    auto prev = std::prev(next);
    if (prev->first + prev->second == addr) {
      start = prev->first;
      length += prev->second;
      removeFree(prev);
    }
  }
  next = freeByAddr_.lower_bound(addr);
  if (next != freeByAddr_.end() && next->first == addr + size) {
    length += next->second;
    removeFree(next);
  }
  addFree(start, length);
  return size;
}

std::uint32_t RangeAllocator::blockSize(std::uint32_t addr) const {
  auto it = used_.find(addr);
  return it == used_.end() ? 0 : it->second;
}

std::uint32_t RangeAllocator::blockContaining(std::uint32_t addr) const {
  auto it = used_.upper_bound(addr);
  if (it == used_.begin()) return 0;
  --it;
  return addr - it->first < it->second ? it->first : 0;
}

std::uint32_t RangeAllocator::largestFree() const {
  return freeBySize_.empty() ? 0 : freeBySize_.rbegin()->first;
}

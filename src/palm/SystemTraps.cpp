#include "palm/SystemTraps.h"

namespace {

using enum TrapArg;

template <typename... A>
constexpr SystemTrapRow makeRow(UInt16 trap, UInt16 selector, SelectorSource source, std::string_view name,
                                TrapResult result, UInt16 flags, A... args) {
  static_assert(sizeof...(A) <= kMaxTrapArgs);
  return {trap, selector, source, name, result, flags, static_cast<UInt8>(sizeof...(A)), {args...}};
}

#define QV_TRAP(trap, name, result, flags, ...) \
  makeRow(trap, 0, SelectorSource::None, #name, TrapResult::result, flags __VA_OPT__(, ) __VA_ARGS__),
#define QV_SELECTOR(trap, selector, name, result, flags, ...) \
  makeRow(trap, selector, SelectorSource::None, #name, TrapResult::result, flags __VA_OPT__(, ) __VA_ARGS__),
#define QV_DISPATCHER(trap, source, manager)

constexpr SystemTrapRow kRowsWithoutSources[] = {
#include "palm/SystemTraps.def"
};

#undef QV_TRAP
#undef QV_SELECTOR
#undef QV_DISPATCHER
#define QV_TRAP(...)
#define QV_SELECTOR(...)
#define QV_DISPATCHER(trap, source, manager) {trap, SelectorSource::source, manager},

constexpr TrapDispatcherRow kDispatchers[] = {
#include "palm/SystemTraps.def"
};

#undef QV_TRAP
#undef QV_SELECTOR
#undef QV_DISPATCHER

constexpr SelectorSource sourceOf(UInt16 trap) {
  for (const TrapDispatcherRow& d : kDispatchers)
    if (d.trap == trap) return d.source;
  return SelectorSource::None;
}

constexpr auto withSources() {
  std::array<SystemTrapRow, std::size(kRowsWithoutSources)> rows{};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows[i] = kRowsWithoutSources[i];
    rows[i].source = sourceOf(rows[i].trap);
  }
  return rows;
}

constexpr auto kRows = withSources();

}  // namespace

std::span<const SystemTrapRow> SystemTrapRows() { return kRows; }
std::span<const TrapDispatcherRow> TrapDispatcherRows() { return kDispatchers; }

const SystemTrapRow* FindSystemTrap(UInt16 trap, UInt16 selector) {
  for (const SystemTrapRow& row : kRows)
    if (row.trap == trap && (row.source == SelectorSource::None || row.selector == selector)) return &row;
  return nullptr;
}

std::size_t TrapArgOffset(const SystemTrapRow& row, std::size_t index) {
  std::size_t offset = row.result == TrapResult::Float ? 4 : 0;
  if (row.source == SelectorSource::StackWord) offset += 2;
  for (std::size_t i = 0; i < index; ++i) offset += TrapArgSlotSize(row.args[i]);
  return offset;
}

std::size_t TrapFrameSize(const SystemTrapRow& row) { return TrapArgOffset(row, row.argCount); }
